// Interim: no engine binding yet.
#include "host/EngineBinding.h"

EngineControl* engineControl;

void BindEngine(HWND) {}
bool FindInstallDir(const char*, char*, int) { return false; }
void PrependEnginePaths(const char*) {}
EngineControl* LoadEngineLibrary(const char*) { return nullptr; }
