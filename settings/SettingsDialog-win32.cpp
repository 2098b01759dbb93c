// The settings dialog's procedure: binds the engine when the dialog opens,
// follows the slider, closes only through OK or Enter, and saves the settings
// and destroys the engine when the dialog is destroyed.
#include "settings/SettingsDialog.h"

#include <commctrl.h>

#include "settings/ViewerSettings.h"

// What the dialog was handed with WM_INITDIALOG; it hangs on the dialog.
static const DialogParts& PartsOf(HWND dialog)
{
    return *reinterpret_cast<const DialogParts*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

int InitDialogControls(HINSTANCE)
{
    InitCommonControls();  // registers the trackbar class
    return 1;
}

static void OnInitDialog(HWND dialog, LPARAM parts)
{
    SetWindowLongPtrA(dialog, DWLP_USER, parts);
    PartsOf(dialog).bind(dialog);
    PartsOf(dialog).settings->FillDialog(dialog);
}

// Esc and the caption's close button arrive as IDCANCEL and are ignored on
// purpose: the dialog ends only through OK or Enter, always with result 0.
static void OnCommand(HWND dialog, WPARAM wParam)
{
    if (LOWORD(wParam) == IDOK) EndDialog(dialog, 0);
}

// The controls still exist here, so they are read and saved before the
// engine, whose core makes the file saver, is destroyed.
static void OnDestroy(HWND dialog)
{
    PartsOf(dialog).settings->ReadDialog(dialog);
    PartsOf(dialog).release();
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, lParam);
        return TRUE;  // focus to the first tab stop, OK
    case WM_COMMAND: OnCommand(dialog, wParam); return FALSE;
    case WM_HSCROLL: PartsOf(dialog).settings->SliderMoved(); return FALSE;
    case WM_DESTROY: OnDestroy(dialog); return FALSE;
    default: return FALSE;
    }
}
