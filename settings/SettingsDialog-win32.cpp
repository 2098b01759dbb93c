// The settings dialog's procedure: binds the engine when the dialog opens,
// follows the slider, closes only through OK or Enter, and saves the settings
// and destroys the engine when the dialog is destroyed.
#include "settings/SettingsDialog.h"

#include <commctrl.h>

#include "settings/ViewerSettings.h"

// The engine of the open dialog, handed over with WM_INITDIALOG.
static const DialogEngine* dialogEngine;

int InitDialogControls(HINSTANCE) {
    InitCommonControls();  // registers the trackbar class
    return 1;
}

static void OnInitDialog(HWND dialog, LPARAM engine) {
    dialogEngine = reinterpret_cast<const DialogEngine*>(engine);
    dialogEngine->bind(dialog);
    viewerSettings.FillDialog(dialog);
}

// Esc and the caption's close button arrive as IDCANCEL and are ignored on
// purpose: the dialog ends only through OK or Enter, always with result 0.
static void OnCommand(HWND dialog, WPARAM wParam) {
    if (LOWORD(wParam) == IDOK) EndDialog(dialog, 0);
}

// The controls still exist here, so they are read and saved before the
// engine, whose core makes the file saver, is destroyed.
static void OnDestroy(HWND dialog) {
    viewerSettings.ReadDialog(dialog);
    dialogEngine->release();
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog, lParam); return TRUE;  // focus to the first tab stop, OK
    case WM_COMMAND: OnCommand(dialog, wParam); return FALSE;
    case WM_HSCROLL: viewerSettings.SliderMoved(); return FALSE;
    case WM_DESTROY: OnDestroy(dialog); return FALSE;
    default: return FALSE;
    }
}
