// The settings dialog (template 2003): frame-rate slider and two check boxes.
#pragma once

#include <windows.h>

// What the dialog needs of the engine, handed to it by whoever opens it: the
// settings file is read and written through the engine, so the engine is
// bound with the dialog as its window when the dialog opens (which loads the
// settings) and released when it is destroyed, after the settings are saved.
struct DialogEngine {
    void (*bind)(HWND dialog);
    void (*release)();
};

// Registers the common controls the dialog uses; always returns 1.
int InitDialogControls(HINSTANCE instance);
// The dialog's procedure; its creation parameter is a DialogEngine that
// outlives the dialog.
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
