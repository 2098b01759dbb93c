// A test build of the shell: the real entry and command-line modes, with a
// stand-in saver window and settings dialog that print what they were asked
// to do. ORMELIX_PROBE_FAULT makes the full-screen mode fault on purpose
// ("mode": in the mode itself, "window": inside a window procedure), so that
// tests can watch the last-chance guard; the viewer has no such hook.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "settings/SettingsDialog.h"
#include "screensaver/SaverRun.h"
#include "screensaver/SaverShell.h"
#include "tests/support/TestWindowClass.h"
#include "screensaver/SaverWindow.h"

namespace {

const UINT spiSetScreenSaverRunning = 97;
const UINT faultMessage = WM_APP + 1;

void Fault()
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

LRESULT CALLBACK FaultingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == faultMessage) Fault();
    return DefWindowProcA(window, message, wParam, lParam);
}

void FaultInsideWindowProcedure()
{
    RegisterTestClass("ShellProbeFaultingWindow", FaultingWindowProc);
    HWND window = CreateWindowExA(0, "ShellProbeFaultingWindow", "", 0, 0, 0, 10, 10, nullptr,
                                  nullptr, saverRun.appInstance, nullptr);
    PostMessageA(window, faultMessage, 0, 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
}

void Say(const char* what, HWND window)
{
    printf("%s %lu\n", what, static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    fflush(stdout);
}

}  // namespace

int RunSaverWindow(HWND parent, ViewerProcedure)
{
    Say("window", parent);
    const char* fault = getenv("ORMELIX_PROBE_FAULT");
    if (fault) {
        // Puts a Win9x system into the running state that the guard must clear.
        UINT previous = 0;
        SystemParametersInfoA(spiSetScreenSaverRunning, 1, &previous, 0);
        if (strcmp(fault, "window") == 0)
            FaultInsideWindowProcedure();
        else
            Fault();
    }
    return 7;
}

int InitDialogControls(HINSTANCE)
{
    Say("foreground", GetForegroundWindow());
    return getenv("ORMELIX_PROBE_NO_CONTROLS") ? 0 : 1;
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG) return FALSE;
    Say("settings owner", GetWindow(dialog, GW_OWNER));
    EndDialog(dialog, 5);
    return TRUE;
}

int main()
{
    // The stand-ins above use none of the viewer's parts.
    static const ViewerParts noViewer = {nullptr, {nullptr, nullptr}};
    SaverEntry(noViewer);
}
