// What the Win32 tests of drovik.dll share: the library loaded as the viewer
// loads it, a private trace file, a scratch directory, and a window whose
// procedure hands every message to the engine first, as the viewer's does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/EngineInterface.h"

struct TraceLine {
    unsigned long milliseconds;
    std::string operation;
    std::string arguments;
};

class EngineHarness {
public:
    EngineHarness();
    ~EngineHarness();

    // A new engine control from the library's entry point.
    EngineControl* NewControl();
    // Writes a file into the scratch directory; its full path.
    std::string WriteScratchFile(const char* name, const std::string& content);
    std::string ReadScratchFile(const char* name) const;
    const std::string& ScratchDirectory() const { return scratch_; }

    std::vector<TraceLine> Trace() const;
    // Only the lines of these operations, as "Operation arguments".
    std::vector<std::string> TraceOf(const std::vector<std::string>& operations) const;

    // A visible top-level window of width x height whose messages go to
    // control->WindowMessage first (when control is set).
    HWND OpenWindow(int width, int height);
    void SetWindowEngine(EngineControl* control);
    // Dispatches this thread's pending messages.
    static void PumpMessages();
    // The window's client area as 0x00RRGGBB values, row by row.
    std::vector<uint32_t> Capture(HWND window, int& width, int& height) const;

private:
    std::string scratch_, tracePath_;
    HWND window_ = nullptr;
};
