// The settings dialog (template 2003): frame-rate slider and two check boxes.
#pragma once

#include <windows.h>

class ViewerSettings;

// What the dialog is handed by whoever opens it: the settings it shows and
// the engine binding. The settings file is read and written through the
// engine, so the engine is bound with the dialog as its window when the
// dialog opens (which loads the settings) and released when it is destroyed,
// after the settings are saved.
struct DialogParts {
    ViewerSettings* settings;
    void (*bind)(HWND dialog);
    void (*release)();
};

// Registers the common controls the dialog uses; always returns 1.
int InitDialogControls(HINSTANCE instance);
// The dialog's procedure; its creation parameter is a DialogParts that
// outlives the dialog.
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
