// The process entry and the command-line modes of the screen saver.
#pragma once

#include <windows.h>

#include "settings/SettingsDialog.h"
#include "screensaver/CloseRules.h"

// The viewer's procedure for the saver window: it gets every message the
// shell's outer procedure forwards and passes what it does not consume on to
// SaverDefaultProc.
typedef LRESULT (*ViewerProcedure)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What the program hands the shell: the shell knows the viewer only through
// these, so it depends on nothing of the viewer's.
struct ViewerParts {
    ViewerProcedure windowProc;
    DialogParts dialog;
};

// The process entry: cuts the program name off the command line, runs
// SaverMain and ends the process with its result. Never returns.
void SaverEntry(const ViewerParts& viewer);
// Runs the one mode the arguments select; returns the process exit code.
// viewer must outlive the call.
int SaverMain(HINSTANCE instance, const char* arguments, const ViewerParts& viewer);
// The settings mode: the dialog's result, 0 if the controls could not be set up.
int ShowSettingsDialog(HWND owner, const DialogParts& parts);
// The Win9x password-change mode.
void ChangePassword(HWND parent);
// On a Win9x platform, tells the system whether the screen saver runs.
void SetScreenSaverRunning(bool running);
// The cursor position in screen coordinates.
ScreenPoint CursorNow();
