// Watches for message boxes on a thread of its own, records what each one
// says and dismisses it, so that tests of code that may show a box never
// block on it and can assert which box appeared.
#pragma once

#include <windows.h>
#include <string>
#include <vector>
#include <mutex>
#include <thread>
#include <atomic>

struct SeenBox {
    std::string caption;
    std::string text;
    HWND owner;        // the box's owner window, null when it has none
    std::string icon;  // "error", "warning", "information", "question" or "none"
    DWORD processId;
};

class MessageBoxWatcher {
public:
    static constexpr DWORD anyProcess = 0xFFFFFFFF;

    // Watches the boxes of processId: 0 for this process, anyProcess for all.
    explicit MessageBoxWatcher(DWORD processId = 0);
    ~MessageBoxWatcher();

    // The boxes seen so far, once none has appeared for settleMs.
    std::vector<SeenBox> Boxes(DWORD settleMs = 300);
    // Waits until count boxes were seen or timeoutMs passed; the boxes seen.
    std::vector<SeenBox> WaitForBoxes(size_t count, DWORD timeoutMs);

private:
    void Watch();
    void Inspect(HWND window);
    static BOOL CALLBACK VisitWindow(HWND window, LPARAM self);

    DWORD processId_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SeenBox> boxes_;
    std::vector<HWND> dismissed_;
    DWORD lastChange_;
    std::thread thread_;
};
