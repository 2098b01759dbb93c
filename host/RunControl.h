// Starting and stopping the project with the saver window, and the frame
// thread that drives the engine.
#pragma once

#include <windows.h>
#include <atomic>

// True while the frame thread is to go on; written by the window thread.
extern std::atomic<bool> running;
// The frame thread, from creation until StopViewer closes it.
extern HANDLE frameThread;

void StartViewer(HWND window);
// Stops the frame thread and destroys the engine; safe to call repeatedly.
void StopViewer(HWND window);
bool StartProject(HWND window);
DWORD WINAPI FrameThread(void* argument);
