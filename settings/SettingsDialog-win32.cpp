// Interim: no dialog yet, so the shell shows nothing.
#include "settings/SettingsDialog.h"

int InitDialogControls(HINSTANCE) { return 0; }
INT_PTR CALLBACK SettingsDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
