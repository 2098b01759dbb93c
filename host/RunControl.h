// Starting and stopping the project with the saver window, and the frame
// thread that drives the engine.
#pragma once

#include <windows.h>
#include <atomic>

// True while the frame thread is to go on; written by the window thread.
extern std::atomic<bool> running;
// The frame thread, from creation until StopViewer closes it.
extern HANDLE frameThread;
// Set by StopViewer to end the frame thread's pause at once (manual reset);
// made with the thread, closed once the thread has ended.
extern HANDLE frameStopEvent;

void StartViewer(HWND window);
// Stops the frame thread and destroys the engine; safe to call repeatedly.
// Messages sent to the window meanwhile are handled, and a call from one of
// them does nothing. A thread still inside the engine after a second is given
// up on: the engine is forgotten without Destroy and threadAbandoned is set.
void StopViewer(HWND window);
bool StartProject(HWND window);
DWORD WINAPI FrameThread(void* argument);
