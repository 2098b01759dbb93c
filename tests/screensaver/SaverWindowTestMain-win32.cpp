// Entry of saverwindow_test.scr: the saver window alone, without the settings
// dialog or the engine. Reads '/s' and '/p <window>' like the viewer, and
// records the screen-saver-running calls in the file named by
// ORMELIX_SAVER_RUNNING_LOG (one line "running 1" or "running 0" per call).
#include <windows.h>

#include "screensaver/CommandLine.h"
#include "screensaver/SaverRun.h"
#include "screensaver/SaverWindow.h"

void SetScreenSaverRunning(bool running)
{
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("ORMELIX_SAVER_RUNNING_LOG", path, sizeof path)) return;
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    const char* line = running ? "running 1\n" : "running 0\n";
    DWORD written;
    WriteFile(log, line, lstrlenA(line), &written, nullptr);
    CloseHandle(log);
}

// In place of the viewer: every message goes straight on to the shell's
// default procedure, as before a project runs.
static LRESULT PassThroughViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SaverDefaultProc(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    saverRun.appInstance = instance;
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    saverRun.win9xPlatform =
        GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;

    SaverMode mode =
        DecideSaverMode(SkipProgramName(GetCommandLineA()), saverRun.win9xPlatform != 0);
    HWND parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(mode.windowNumber));
    switch (mode.kind) {
    case SaverModeKind::FullScreen: return RunSaverWindow(nullptr, PassThroughViewerProc);
    case SaverModeKind::Preview:
        return IsWindow(parent) ? RunSaverWindow(parent, PassThroughViewerProc) : -1;
    default: return -1;
    }
}
