// Error boxes of the viewer (see ErrorBox.h).
#include "common/ErrorBox.h"

void ShowErrorBox(HWND owner, const char* text, const char* caption, UINT style)
{
    MessageBoxA(owner, text, caption, MB_OK | style);
}
