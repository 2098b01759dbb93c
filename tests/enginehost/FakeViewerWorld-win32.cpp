// The recording stand-ins declared in FakeViewerWorld.h, with the
// definitions of the process-wide values the real subsystems would own.
#include "FakeViewerWorld.h"

#include "enginehost/EngineBinding.h"
#include "enginehost/EngineHost.h"
#include "enginehost/RunControl.h"
#include "packdata/ReadAppendedValue.h"
#include "settings/ViewerSettings.h"
#include "screensaver/SaverRun.h"
#include "screensaver/SaverWindow.h"

CallLog callLog;
FakeWorld fakeWorld;

// --- Packed project data.
bool ReadProjectName(char (&name)[textSize])
{
    callLog.Add("ReadProjectName");
    if (!fakeWorld.projectNamePacked) return false;
    lstrcpynA(name, "Demo", textSize);
    return true;
}

// --- Shell.

LRESULT SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    callLog.Add("SaverDefaultProc " + Hex(message));
    // Like the shell, drop a full-screen Win9x close whose password was refused.
    if (message == WM_CLOSE && saverRun.win9xPlatform && !saverRun.previewMode &&
        !fakeWorld.passwordAccepted)
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

bool VerifyPasswordOnClose(HWND)
{
    callLog.Add(fakeWorld.passwordAccepted ? "VerifyPasswordOnClose yes"
                                           : "VerifyPasswordOnClose no");
    return fakeWorld.passwordAccepted;
}

// The watchdog's readings; it clears the Win9x running state only just
// before it ends the process, so there is nothing left to record it in.
void SetScreenSaverRunning(bool) {}
ScreenPoint CursorNow() { return ScreenPoint(); }

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
    // that is gone: forget the engine first, then stop the thread, and the
    // watchdog that a give-up left running.
    engineHost.engineControl = nullptr;
    saverRun.threadAbandoned = false;
    StopViewer(nullptr);
    callLog.Clear();
    fakeWorld = FakeWorld();
    saverRun.win9xPlatform = 0;
    saverRun.previewMode = 0;
    engineHost.viewerSettings.frameDelay = 5;
    engineHost.viewerSettings.doNotQuit = 0;
    engineHost.viewerSettings.previewEnabled = 0;
    lstrcpynA(engineHost.viewerSettings.projectPath, "demo.proj", 260);
}
