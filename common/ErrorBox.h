// The viewer's one way to tell the user of a failure, so that every error box
// is shown, and can be watched for in tests, the same way.
#pragma once

#include <windows.h>

// Shows text under caption in a box with an OK button, owned by owner (null:
// no owner), with style's icon flags; returns once the user dismissed it.
void ShowErrorBox(HWND owner, const char* text, const char* caption, UINT style);
