// Test stand-in for the viewer's window procedure: every message goes
// straight on to the shell's default procedure, as before a project runs.
#include "host/ViewerWindowProc.h"
#include "shell/SaverWindow.h"

LRESULT ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SaverDefaultProc(window, message, wParam, lParam);
}
