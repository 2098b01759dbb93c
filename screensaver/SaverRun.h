// The screen saver's run state: what the saver window, its procedures and
// the process's end share, in one record. Each group says who writes it;
// everything else only reads it. The engine host keeps its own state
// (enginehost/EngineHost.h); program/ProgramEntry-win32.cpp follows a key
// press through both to the process's end.
#pragma once

#include <windows.h>

#include "screensaver/CloseRules.h"
#include "screensaver/SaverShell.h"

// The system's password check: non-zero when the password was accepted.
typedef BOOL(WINAPI* VerifyPasswordFunction)(HWND window);
typedef HANDLE(WINAPI* ImmAssociateContextFunction)(HWND window, HANDLE context);

struct SaverRun {
    // --- The process (SaverMain, once, before any mode runs).
    HINSTANCE appInstance;
    // 1 when GetVersionExA reports a Win9x platform, else 0.
    int win9xPlatform;
    // What the program handed the shell: the viewer's procedure and the
    // settings dialog's binding.
    const ViewerParts* viewerParts;
    // Set by whoever gives up on a thread still inside outside code (the
    // engine host's stop): from then on no library's code may run, so the
    // password library is not freed and SaverEntry ends the process through
    // EndProcessAtOnce.
    bool threadAbandoned;

    // --- The saver window (RunSaverWindow and the shell's procedures).
    HWND saverWindow;
    // 1 once the saver window was created inside a preview window; never reset.
    int previewMode;
    CloseState closeState;
    // "QueryCancelAutoPlay" on a Win9x platform, 0 elsewhere.
    UINT autoPlayQueryMessage;
    // The viewer's procedure behind the shell's, which RunSaverWindow was handed.
    ViewerProcedure viewerWindowProc;
    // "PASSWORD.CPL" and its "VerifyScreenSavePwd", loaded only on Win9x when
    // the user has a screen-saver password; both null otherwise.
    HMODULE passwordLibrary;
    VerifyPasswordFunction verifyPasswordProc;
    // The input method detached from the saver window while it lives, when
    // the process already uses one (IMM32.DLL is never loaded for this).
    HMODULE imeModule;
    ImmAssociateContextFunction immAssociateContextProc;
    HANDLE savedImeContext;
};

// The process's one run state. Static storage is zero before construction,
// and the constructor sets only the close rules' starting state, so every
// other member starts at zero.
extern SaverRun saverRun;
