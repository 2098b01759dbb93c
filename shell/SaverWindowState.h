// State of the saver window shared by the shell's window files: the close
// rules' state, the AutoPlay query message and the password verifier.
#pragma once

#include <windows.h>

#include "shell/CloseRules.h"
#include "shell/SaverShell.h"

// The system's password check: non-zero when the password was accepted.
typedef BOOL(WINAPI* VerifyPasswordFunction)(HWND window);

extern CloseState closeState;
// "QueryCancelAutoPlay" on a Win9x platform, 0 elsewhere.
extern UINT autoPlayQueryMessage;
// "VerifyScreenSavePwd" of the loaded "PASSWORD.CPL", or null.
extern VerifyPasswordFunction verifyPasswordProc;
extern HWND saverWindow;
// The viewer's procedure, which RunSaverWindow was handed.
extern ViewerProcedure viewerWindowProc;

// The facts of this run that the close rules depend on.
CloseContext CurrentCloseContext();
// The AC line status now; kNoAcReading when the system gives none.
uint8_t ReadAcLineStatus();
// The cursor position in screen coordinates.
ScreenPoint CursorNow();
// Carries out a decision of the close rules for one message of the window.
LRESULT CarryOutDecision(const Decision& decision, HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam);
