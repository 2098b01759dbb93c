// The process entry and the command-line modes: records the instance and the
// platform, then carries out the mode that DecideSaverMode chose.
#include "screensaver/SaverShell.h"

#include <commctrl.h>

#include "settings/SettingsDialog.h"
#include "settings/resource.h"
#include "screensaver/CommandLine.h"
#include "screensaver/LastChanceGuard.h"
#include "screensaver/ProcessEnd.h"
#include "screensaver/SaverRun.h"
#include "screensaver/SaverWindow.h"
#include "screensaver/SystemLibrary.h"

namespace {

const UINT spiSetScreenSaverRunning = 97;

int RunsOnWin9x()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// The window a command-line number names, or none when it names no window.
HWND ExistingWindow(uint32_t number)
{
    HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(number));
    return number != 0 && IsWindow(window) ? window : nullptr;
}

HWND ExistingWindowOrForeground(uint32_t number)
{
    HWND window = ExistingWindow(number);
    return window ? window : GetForegroundWindow();
}

int RunMode(const char* arguments)
{
    const ViewerParts& viewer = *saverRun.viewerParts;
    SaverMode mode = DecideSaverMode(arguments, saverRun.win9xPlatform != 0);
    switch (mode.kind) {
    case SaverModeKind::SettingsNoOwner: return ShowSettingsDialog(nullptr, viewer.dialog);
    case SaverModeKind::SettingsOwned:
        return ShowSettingsDialog(ExistingWindowOrForeground(mode.windowNumber), viewer.dialog);
    case SaverModeKind::ChangePassword:
        ChangePassword(ExistingWindowOrForeground(mode.windowNumber));
        return 0;
    case SaverModeKind::Preview: {
        HWND parent = ExistingWindow(mode.windowNumber);
        return parent ? RunSaverWindow(parent, viewer.windowProc) : -1;
    }
    case SaverModeKind::FullScreen: return RunSaverWindow(nullptr, viewer.windowProc);
    case SaverModeKind::Reject: break;
    }
    return -1;
}

}  // namespace

void SaverEntry(const ViewerParts& viewer)
{
    const char* arguments = SkipProgramName(GetCommandLineA());
    UINT exitCode = static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr), arguments, viewer));
    // ExitProcess would end an abandoned thread wherever it is, then run every
    // library's detach code on what that thread left half done.
    if (saverRun.threadAbandoned) EndProcessAtOnce(exitCode);
    ExitProcess(exitCode);
}

int SaverMain(HINSTANCE instance, const char* arguments, const ViewerParts& viewer)
{
    saverRun.viewerParts = &viewer;
    KeepCurrentDirectoryOutOfLibrarySearch();
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    saverRun.appInstance = instance;
    saverRun.win9xPlatform = RunsOnWin9x();
    return RunUnderLastChanceGuard(RunMode, arguments);
}

int ShowSettingsDialog(HWND owner, const DialogParts& parts)
{
    if (!InitDialogControls(saverRun.appInstance)) return 0;
    return static_cast<int>(DialogBoxParamA(saverRun.appInstance, MAKEINTRESOURCEA(IDD_SETTINGS),
                                            owner, SettingsDialogProc,
                                            reinterpret_cast<LPARAM>(&parts)));
}

void ChangePassword(HWND parent)
{
    typedef DWORD(WINAPI * PasswordChanger)(LPCSTR provider, HWND parent, DWORD, LPVOID);
    HMODULE library = LoadSystemLibrary("MPR.DLL");
    if (!library) return;
    PasswordChanger change = reinterpret_cast<PasswordChanger>(
        reinterpret_cast<void*>(GetProcAddress(library, "PwdChangePasswordA")));
    if (change) change("SCRSAVE", parent, 0, nullptr);
    FreeLibrary(library);
}

void SetScreenSaverRunning(bool running)
{
    if (!saverRun.win9xPlatform) return;
    UINT previous = 0;
    SystemParametersInfoA(spiSetScreenSaverRunning, running ? 1 : 0, &previous, 0);
}
