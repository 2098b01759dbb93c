// The viewer's own procedure for the saver window: the engine sees every
// message first, the project starts and stops with the window, and what is
// not consumed goes on to SaverDefaultProc.
#pragma once

#include <windows.h>

LRESULT ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
