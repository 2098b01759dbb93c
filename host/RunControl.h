// Starting and stopping the project with the saver window, and the frame
// thread that drives the engine. Their state (engineControl, running,
// frameThread, frameStopEvent, stopInProgress) is in shell/SaverRun.h.
#pragma once

#include <windows.h>

void StartViewer(HWND window);
// Stops the frame thread and destroys the engine; safe to call repeatedly.
// Messages sent to the window meanwhile are handled, and a call from one of
// them does nothing. A thread still inside the engine after a second is given
// up on: the engine is forgotten without Destroy and threadAbandoned is set.
void StopViewer(HWND window);
bool StartProject(HWND window);
DWORD WINAPI FrameThread(void* argument);
