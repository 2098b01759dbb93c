// The program's entry: the one file that knows every part. It hands the
// screen saver (screensaver/) the engine host's parts (enginehost/): the
// viewer's window procedure and the settings dialog's engine binding. The
// viewer is linked without the C runtime's start-up code, which would be a
// third of its size and does nothing the viewer needs but run the static
// constructors; SaverStartup runs them, then SaverEntry, which never returns.
//
// The stop path, from a key press to the process's end (full screen):
//  1. screensaver/SaverWindow-win32.cpp, SaverWindowProc: the close rules
//     (CloseRules.h) see WM_KEYDOWN and forward it to the viewer's procedure.
//  2. enginehost/ViewerWindowProc-win32.cpp: the engine sees the key, the
//     policy (ViewerPolicy.h) passes it on, unless do-not-quit swallows it,
//     to SaverDefaultProc (screensaver/SaverDefaultProc-win32.cpp), whose
//     close rules post WM_CLOSE.
//  3. WM_CLOSE comes back the same way. ViewerWindowProc: the engine sees
//     it; on Win9x the password is asked; CloseSaver calls StopViewer.
//  4. enginehost/RunControl-win32.cpp, StopViewer: the frame thread is told
//     to stop and waited for, letting in messages sent to the window; a
//     WM_CLOSE sent meanwhile (by the engine's frame or another program) is
//     answered 0 and left to this stop. Then the engine's Destroy, or, if
//     the thread is still inside the engine after a second, no call at all:
//     the thread is given up on (saverRun.threadAbandoned). The watchdog
//     ends unless a thread was given up on. Only then does CloseSaver
//     destroy the window: WM_DESTROY gives the input method back and ends
//     the message loop.
//  5. screensaver/SaverWindow-win32.cpp, RunSaverWindow: the password library
//     is released (not freed after a give-up); screensaver/SaverMain-win32.cpp,
//     SaverEntry: ExitProcess with the mode's exit code, or
//     EndProcessAtOnce (screensaver/ProcessEnd.h) after a give-up.
// Elsewhere the process ends at once through EndProcessAtOnce too: the
// last-chance guard on a fault (-1), and the watchdog (0) when the window
// thread stays inside the engine while a close would have happened. The exit
// codes: README.md, "Exit codes".
#include "enginehost/EngineBinding.h"
#include "enginehost/EngineHost.h"
#include "enginehost/SystemViewerPlatform.h"
#include "enginehost/ViewerWindowProc.h"
#include "screensaver/SaverShell.h"

extern "C" void __main();  // the runtime's static-constructor walk, run once

// The process always ends through ExitProcess or TerminateProcess, which run
// no exit handlers, so the destructors that static objects register here are
// never wanted. Without the start-up code the runtime's own atexit is not
// usable.
extern "C" int atexit(void (*)()) { return 0; }

extern "C" void SaverStartup()
{
    __main();
    static const ViewerParts viewer = {ViewerWindowProc,
                                       {&engineHost.viewerSettings, BindEngine, ReleaseEngine}};
    engineHost.viewerPlatform = &SystemViewerPlatform();
    SaverEntry(viewer);
}
