// The saver's run state: everything the saver window, its procedures, the
// frame thread and the process's end share, in one record. Each group says
// who writes it; everything else only reads it.
//
// A key press, for instance: SaverWindowProc asks the close rules
// (closeState) and forwards it to viewerWindowProc (ViewerWindowProc), which
// shows it to the engine (engineControl) and, unless viewerSettings says do
// not quit, passes it on to SaverDefaultProc; the close rules there post
// WM_CLOSE. That comes back the same way; ViewerWindowProc asks for the
// password on Win9x (verifyPasswordProc), then StopViewer ends the frame
// thread (running, frameStopEvent, frameThread; threadAbandoned when it is
// stuck in the engine), destroys the engine and ends the watchdog
// (watchdogThread), and the window is destroyed; the watchdog ends the
// process itself when the window thread stays inside the engine
// (engineCallSince) while a close would have happened.
// WM_DESTROY gives the input method back (imeModule...) and ends the message
// loop; RunSaverWindow unloads the password library, and SaverEntry ends the
// process, without running any library's code when threadAbandoned is set.
#pragma once

#include <windows.h>
#include <atomic>

#include "common/EngineInterface.h"
#include "settings/ViewerSettings.h"
#include "screensaver/CloseRules.h"
#include "screensaver/SaverShell.h"

class ViewerPlatform;

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
    // Set by StopViewer once a thread was given up on while still inside the
    // engine: SaverEntry then ends the process without running any library's
    // code.
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

    // --- The project (the viewer's run control and engine binding).
    // The one bound engine, or null while none is bound.
    EngineControl* engineControl;
    // True while the frame thread is to go on; written by the window thread.
    std::atomic<bool> running;
    // The frame thread, from creation until StopViewer closes it.
    HANDLE frameThread;
    // Set by StopViewer to end the frame thread's pause at once (manual
    // reset); made with the thread, closed once the thread has ended.
    HANDLE frameStopEvent;
    // True while StopViewer waits: a message sent meanwhile may close the
    // window and call it again, and that call must neither wait nor destroy.
    bool stopInProgress;
    // The tick at which the window thread went into its current call of the
    // engine (a tick of 0 taken as 1), 0 outside one, and what the call is
    // for (an EngineCallKind); the watchdog reads them.
    std::atomic<uint32_t> engineCallSince;
    std::atomic<uint8_t> engineCallKind;
    // The watchdog, which ends the process when that call never returns,
    // and the event that ends it (manual reset): from StartViewer until
    // StopViewer.
    HANDLE watchdogThread;
    HANDLE watchdogStopEvent;
    // The platform facts the viewer's procedure asks for: the system's, set
    // by the program's entry, or a test's fake.
    ViewerPlatform* viewerPlatform;
    // The settings: the project path, the frame delay and the two flags.
    ViewerSettings viewerSettings;
};

// The process's one run state. Static storage is zero before construction,
// and the constructors set only the close rules' starting state and the
// settings' engine core, so every other member starts at zero.
extern SaverRun saverRun;
