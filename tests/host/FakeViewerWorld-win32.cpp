// The recording stand-ins declared in FakeViewerWorld.h, with the
// definitions of the process-wide values the real subsystems would own.
#include "FakeViewerWorld.h"

#include "host/EngineBinding.h"
#include "host/RunControl.h"
#include "packdata/ReadAppendedValue.h"
#include "settings/ViewerSettings.h"
#include "shell/SaverRun.h"
#include "shell/SaverWindow.h"

#include <cstring>

CallLog callLog;
FakeWorld fakeWorld;

void CallLog::Add(const std::string& line)
{
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(line);
}

std::vector<std::string> CallLog::Lines()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

void CallLog::Clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
}

int CallLog::Find(const std::string& line, int from)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (int i = from; i < static_cast<int>(lines_.size()); ++i)
        if (lines_[i] == line)
            return i;
    return -1;
}

static std::string Hex(UINT value)
{
    char text[16];
    wsprintfA(text, "0x%04X", value);
    return text;
}

void FakeChannel::SetValue(float value)
{
    callLog.Add("SetValue " + name_ + (value == 1.0f ? " 1.0" : value == 0.0f ? " 0.0" : " other"));
}

void* FakeCore::CreateObject(GUID, int, int)
{
    callLog.Add("CreateObject");
    return nullptr;
}

ValueChannel* FakeCore::FindChannel(GUID type, const char* name)
{
    callLog.Add(std::string("FindChannel ") + name);
    if (!hasChannels || !IsEqualGUID(type, saverChannelType))
        return nullptr;
    if (std::strcmp(name, "OrmelixSaver") == 0)
        return &saver_;
    if (std::strcmp(name, "OrmelixSaverPreview") == 0)
        return &preview_;
    return nullptr;
}

void FakeEngine::Destroy(int flags)
{
    callLog.Add("Destroy " + std::to_string(flags));
    destroyed = true;
}

int32_t FakeEngine::Run()
{
    callLog.Add("Run");
    return runResult;
}

void FakeEngine::Frame()
{
    if (frameMilliseconds)
        Sleep(frameMilliseconds);
    // Given up after a while, so that a window thread that never answers
    // fails the test instead of leaving this thread behind.
    DWORD_PTR answer;
    if (sendAfterStop && !saverRun.running)
        SendMessageTimeoutA(sendTo, sendAfterStop, 0, 0, SMTO_NORMAL, 3000, &answer);
    if (destroyed)
        callLog.Add("Frame after Destroy");
    ++frames;
}

void FakeEngine::LoadProject(const char* path)
{
    callLog.Add(std::string("LoadProject ") + path);
}

EngineCore* FakeEngine::GetCore()
{
    callLog.Add("GetCore");
    return coreMissing ? nullptr : &core;
}

void FakeEngine::WindowMessage(HWND, UINT message, WPARAM, LPARAM)
{
    callLog.Add("WindowMessage " + Hex(message));
}

bool WaitForFrames(FakeEngine& engine, int count)
{
    for (int waited = 0; waited < 5000; waited += 5) {
        if (engine.frames > count)
            return true;
        Sleep(5);
    }
    return false;
}

// --- Engine binding: binds the engine the test prepared.

void BindEngine(HWND)
{
    callLog.Add("BindEngine");
    if (!saverRun.engineControl)
        saverRun.engineControl = fakeWorld.engineToBind;
}

// --- Packed project data.
bool ReadProjectName(char (&name)[textSize])
{
    callLog.Add("ReadProjectName");
    if (!fakeWorld.projectNamePacked)
        return false;
    lstrcpynA(name, "Demo", textSize);
    return true;
}

// --- Shell.

LRESULT SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    callLog.Add("SaverDefaultProc " + Hex(message));
    // Like the shell, drop a full-screen Win9x close whose password was refused.
    if (message == WM_CLOSE && saverRun.win9xPlatform && !saverRun.previewMode && !fakeWorld.passwordAccepted)
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

bool VerifyPasswordOnClose(HWND)
{
    callLog.Add(fakeWorld.passwordAccepted ? "VerifyPasswordOnClose yes" : "VerifyPasswordOnClose no");
    return fakeWorld.passwordAccepted;
}

// --- Settings: plain fields, no file.
SaverRun saverRun;

ViewerSettings::ViewerSettings() : engineCore(nullptr) {}
ViewerSettings::~ViewerSettings() {}
void ViewerSettings::FillDialog(HWND) {}
void ViewerSettings::ReadDialog(HWND) {}
const char* ViewerSettings::ProjectPath() { return projectPath; }
int32_t ViewerSettings::FrameDelay() { return frameDelay; }
bool ViewerSettings::PreviewEnabled() { return previewEnabled != 0; }
bool ViewerSettings::DoNotQuit() { return doNotQuit != 0; }
void ViewerSettings::Load() {}
void ViewerSettings::Save() {}
void ViewerSettings::SetEngineCore(EngineCore* core) { engineCore = core; }
void ViewerSettings::SetInstallDirectory(const char*) {}
void ViewerSettings::SliderMoved() {}

void ResetFakeWorld()
{
    // A test that failed half-way may leave a thread running on an engine
    // that is gone: forget the engine first, then stop the thread.
    saverRun.engineControl = nullptr;
    StopViewer(nullptr);
    callLog.Clear();
    fakeWorld = FakeWorld();
    saverRun.win9xPlatform = 0;
    saverRun.threadAbandoned = false;
    saverRun.previewMode = 0;
    saverRun.viewerSettings.frameDelay = 5;
    saverRun.viewerSettings.doNotQuit = 0;
    saverRun.viewerSettings.previewEnabled = 0;
    lstrcpynA(saverRun.viewerSettings.projectPath, "demo.proj", 260);
}

void RegisterTestClass(const char* name, WNDPROC procedure)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}
