// The one recording fake of the engine interface (common/EngineInterface.h)
// for every in-process test: an EngineControl that is its own EngineCore,
// whose settings loader reads chunks the test gives it and whose saver keeps
// what it is given. Every call lands, in order, in a CallLog the test owns,
// so that calls of the engine and of other fakes can share one log. A test
// puts it in place where the viewer finds its engine: the run state's
// engineControl, or a settings object's engine core.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/EngineInterface.h"

// An ordered log that several threads may write.
class CallLog {
public:
    void Add(const std::string& line);
    std::vector<std::string> Lines();
    void Clear();
    // Index of the first line equal to line at or after from; -1 if none.
    int Find(const std::string& line, int from = 0);
    // When set, also handed every line as it is added (a library's trace file).
    void (*echo)(const std::string& line) = nullptr;

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

// How the logs write a message number: "0x0010".
std::string Hex(UINT value);

// A settings file: chunk code -> data.
using Chunks = std::map<std::string, std::vector<uint8_t>>;

// Logs "Destroy 1", "Run", "Initialize <app>", "LoadProject <path>",
// "GetCore", "WindowMessage 0x0010", "SetInstallDir <dir>", "SetRegistryKey
// <key>"; as the core "CreateObject loader|saver|other 0 0", "FindChannel
// <name>" and "SetValue <name> 1.0|0.0|other"; its loader's and saver's calls
// as "loader ..." and "saver ...". Frames are counted, not logged: they come
// from the frame thread while the test thread watches the count. A frame may
// take time and, once running reads false, send a message to a window; one
// that ends after Destroy logs "Frame after Destroy".
class RecordingEngine final : public EngineControl, public EngineCore {
public:
    explicit RecordingEngine(CallLog& log) : log_(log) {}

    // What it answers.
    int32_t runResult = 0;
    bool initializes = true;
    bool coreMissing = false;  // GetCore answers null
    bool hasChannels = true;   // "OrmelixSaver" and "OrmelixSaverPreview"
    bool makesLoader = true;
    bool makesSaver = true;
    bool fileOpens = true;        // the loader's and the saver's Open
    Chunks file;                  // what the loader finds
    DWORD frameMilliseconds = 0;  // how long a frame takes
    HWND sendTo = nullptr;
    UINT sendAfterStop = 0;  // 0: sends nothing
    const std::atomic<bool>* running = nullptr;

    // What was done to it.
    std::atomic<int> frames{0};
    std::atomic<bool> destroyed{false};
    Chunks saved;  // what the saver was given

    // EngineControl
    void Destroy(int flags) override;
    int32_t Run() override;
    bool Initialize(HINSTANCE, const char* appName, HWND) override;
    void Frame() override;
    void LoadProject(const char* path) override;
    EngineCore* GetCore() override;
    void WindowMessage(HWND, UINT message, WPARAM, LPARAM) override;
    void SetInstallDir(const char* directory) override;
    void SetRegistryKey(const char* keyPath) override;

    // EngineCore
    void* CreateObject(GUID type, int reserved1, int reserved2) override;
    int ChannelCount() override { return hasChannels ? 2 : 0; }
    ValueChannel* FindChannel(GUID type, const char* name) override;

    // Waits until more than count frames were rendered; false after 5 s.
    bool WaitForFrames(int count);

private:
    CallLog& log_;
    std::vector<std::unique_ptr<ValueChannel>> channels_;
    std::vector<std::unique_ptr<FileLoader>> loaders_;
    std::vector<std::unique_ptr<FileSaver>> savers_;
};
