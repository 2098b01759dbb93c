// What the shell's window files (and only they) share: the readings the close
// rules take and the carrying out of their decisions, over the run state in
// SaverRun.h.
#pragma once

#include <windows.h>

#include "screensaver/CloseRules.h"

// The facts of this run that the close rules depend on.
CloseContext CurrentCloseContext();
// The AC line status now; noAcReading when the system gives none.
uint8_t ReadAcLineStatus();
// The virtual screen now.
ScreenRect VirtualScreen();
// Carries out a decision of the close rules for one message of the window.
LRESULT CarryOutDecision(const Decision& decision, HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam);
