// Starting and stopping the project with the saver window, the frame
// thread that drives the engine and the watchdog over the window thread.
// Their state is the engine host's (EngineHost.h).
#pragma once

#include <windows.h>

#include "enginehost/ViewerPolicy.h"

// Marks the window thread as inside a call of the engine, for the watchdog,
// from construction to destruction. Marks nest: the engine may send to its
// window from inside a call.
class WindowThreadEngineCall {
public:
    explicit WindowThreadEngineCall(EngineCallKind kind);
    ~WindowThreadEngineCall();
    WindowThreadEngineCall(const WindowThreadEngineCall&) = delete;
    WindowThreadEngineCall& operator=(const WindowThreadEngineCall&) = delete;

private:
    uint32_t outerSince_;
    uint8_t outerKind_;
};

// Binds the engine, starts the watchdog, then the project and its frame thread.
void StartViewer(HWND window);
// Stops the frame thread, destroys the engine and ends the watchdog; safe to
// call repeatedly. Messages sent to the window meanwhile are handled, and a
// call from one of them does nothing. A thread still inside the engine after
// a second is given up on: the engine is forgotten without Destroy,
// saverRun.threadAbandoned is set, and the watchdog is left to the process's
// end (its thread's end would run every library's detach code).
void StopViewer(HWND window);
bool StartProject(HWND window);
DWORD WINAPI FrameThread(void* argument);
// The watchdog over the window thread of the saver window given; it never
// calls the engine. It ends the process at once (EndProcessAtOnce, exit code
// 0) when WatchdogEndsProcess says so.
DWORD WINAPI WatchdogThread(void* window);
