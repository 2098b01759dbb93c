// Interim: the entry runs no mode yet.
#include "shell/SaverShell.h"

HINSTANCE appInstance;
int win9xPlatform;

void SaverEntry() { ExitProcess(static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr), ""))); }
int SaverMain(HINSTANCE instance, const char*) { appInstance = instance; return -1; }
int ShowSettingsDialog(HWND) { return 0; }
void ChangePassword(HWND) {}
void SetScreenSaverRunning(bool) {}
