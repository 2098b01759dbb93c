// The settings dialog (template 2003): frame-rate slider and two check boxes.
#pragma once

#include <windows.h>

// Registers the common controls the dialog uses; always returns 1.
int InitDialogControls(HINSTANCE instance);
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
