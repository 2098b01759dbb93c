// The Win9x password verifier: "VerifyScreenSavePwd" of "PASSWORD.CPL",
// bound only when the user has a screen-saver password.
#include "screensaver/SaverRun.h"
#include "screensaver/SaverShell.h"
#include "screensaver/SaverWindow.h"
#include "screensaver/SystemLibrary.h"

static bool UserHasPassword(HKEY desktop)
{
    // Read into 4 zeroed bytes whatever the value's type: any non-zero
    // content counts, a value longer than 4 bytes fails the read.
    DWORD value = 0;
    DWORD size = sizeof value;
    return RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr,
                            reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
           value != 0;
}

void LoadPasswordLibrary()
{
    if (!saverRun.win9xPlatform) return;
    if (saverRun.passwordLibrary) UnloadPasswordLibrary();
    HKEY desktop;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &desktop) !=
        ERROR_SUCCESS)
        return;
    if (UserHasPassword(desktop)) {
        saverRun.passwordLibrary = LoadSystemLibrary("PASSWORD.CPL");
        if (saverRun.passwordLibrary) {
            saverRun.verifyPasswordProc =
                reinterpret_cast<VerifyPasswordFunction>(reinterpret_cast<void*>(
                    GetProcAddress(saverRun.passwordLibrary, "VerifyScreenSavePwd")));
            if (saverRun.verifyPasswordProc)
                SetScreenSaverRunning(true);
            else
                UnloadPasswordLibrary();
        }
    }
    RegCloseKey(desktop);
}

void UnloadPasswordLibrary()
{
    if (!saverRun.win9xPlatform || !saverRun.passwordLibrary) return;
    // After a thread was given up on, FreeLibrary would run the library's
    // detach code under the loader's lock, which that thread may hold; the
    // process ends at once after this and frees it then.
    if (!saverRun.threadAbandoned) FreeLibrary(saverRun.passwordLibrary);
    saverRun.passwordLibrary = nullptr;
    if (saverRun.verifyPasswordProc) {
        saverRun.verifyPasswordProc = nullptr;
        SetScreenSaverRunning(false);
    }
}
