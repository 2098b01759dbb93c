// Interim: until the project runs, every message goes on to the shell.
#include "host/ViewerWindowProc.h"
#include "shell/SaverWindow.h"

LRESULT ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SaverDefaultProc(window, message, wParam, lParam);
}
