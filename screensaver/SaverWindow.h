// The saver window in its full-screen and preview forms, its message loop,
// and the rules by which input, activation and power events close it.
#pragma once

#include <windows.h>

#include "screensaver/SaverShell.h"

// Creates the saver window (preview inside parent, full screen without one)
// with viewerProc behind the shell's procedures, runs the message loop and
// returns its exit value; 0 when another full-screen saver runs or no window
// could be created.
int RunSaverWindow(HWND parent, ViewerProcedure viewerProc);
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The shell's default handling: the close rules, then DefWindowProcA.
LRESULT SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Whether a WM_CLOSE may go ahead (asks the Win9x password verifier).
bool VerifyPasswordOnClose(HWND window);
void LoadPasswordLibrary();
// Forgets the password library and clears the running state; frees the
// library only while no thread was given up on (saverRun.threadAbandoned).
void UnloadPasswordLibrary();
