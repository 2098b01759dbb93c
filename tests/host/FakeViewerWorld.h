// Recording stand-ins for everything run control and the viewer window
// procedure call outside themselves: the engine, its binding, the packed
// project name, the shell's default procedure and password check, and the
// settings. All calls land in one ordered log, so tests can assert order.
#pragma once

#include "common/EngineInterface.h"
#include "host/ViewerPolicy.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

// The ordered call log shared by every fake.
class CallLog {
public:
    void Add(const std::string& line);
    std::vector<std::string> Lines();
    void Clear();
    // Index of the first line equal to line at or after from; -1 if none.
    int Find(const std::string& line, int from = 0);

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

extern CallLog callLog;

class FakeChannel final : public ValueChannel {
public:
    explicit FakeChannel(std::string name) : name_(std::move(name)) {}
    void SetValue(float value) override;

private:
    std::string name_;
};

class FakeCore final : public EngineCore {
public:
    bool hasChannels = true;
    void* CreateObject(GUID, int, int) override;
    int ChannelCount() override { return hasChannels ? 2 : 0; }
    ValueChannel* FindChannel(GUID type, const char* name) override;

private:
    FakeChannel saver_{"OrmelixSaver"}, preview_{"OrmelixSaverPreview"};
};

// Logs every call but Frame, which it counts (frames come from the frame
// thread while the test thread watches the count). A frame may take time and,
// once the stop is asked, send a message to a window; one that ends after
// Destroy logs "Frame after Destroy".
class FakeEngine final : public EngineControl {
public:
    int32_t runResult = 0;
    bool coreMissing = false;
    DWORD frameMilliseconds = 0;
    HWND sendTo = nullptr;
    UINT sendAfterStop = 0;  // 0: sends nothing
    std::atomic<int> frames{0};
    std::atomic<bool> destroyed{false};
    FakeCore core;

    void Destroy(int flags) override;
    int32_t Run() override;
    bool Initialize(HINSTANCE, const char*, HWND) override { return true; }
    void Frame() override;
    void LoadProject(const char* path) override;
    EngineCore* GetCore() override;
    void WindowMessage(HWND, UINT message, WPARAM, LPARAM) override;
    void SetInstallDir(const char*) override {}
    void SetRegistryKey(const char*) override {}
};

// A platform whose power-off settings and version the test chooses.
class FakePlatform final : public ViewerPlatform {
public:
    bool powerOffActive = false;
    unsigned powerOffTimeout = 0, screenSaveTimeout = 0, platformId = 2;
    bool PowerOffActive() override { return powerOffActive; }
    unsigned PowerOffTimeoutSeconds() override { return powerOffTimeout; }
    unsigned ScreenSaveTimeoutSeconds() override { return screenSaveTimeout; }
    unsigned PlatformId() override { return platformId; }
};

// What the fakes answer; reset by ResetFakeWorld before each test.
struct FakeWorld {
    EngineControl* engineToBind = nullptr;  // BindEngine binds this one
    bool projectNamePacked = true;          // ReadProjectName finds it
    bool passwordAccepted = true;           // VerifyPasswordOnClose's answer
};

extern FakeWorld fakeWorld;

// Clears the log, the shell's flags, the settings and the run state.
void ResetFakeWorld();
// Registers a window class of this program with that procedure.
void RegisterTestClass(const char* name, WNDPROC procedure);
// Waits until the engine has rendered more than count frames; false on timeout.
bool WaitForFrames(FakeEngine& engine, int count);
