// Interim: no saver window yet.
#include "shell/SaverWindow.h"

int previewMode;

int RunSaverWindow(HWND) { return 0; }
LRESULT CALLBACK SaverWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }
LRESULT SaverDefaultProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }
bool VerifyPasswordOnClose(HWND) { return true; }
void LoadPasswordLibrary() {}
void UnloadPasswordLibrary() {}
