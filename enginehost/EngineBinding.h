// Turns the packed project name into a bound, initialised engine: install
// directory from the registry, search path, engine library, settings load.
#pragma once

#include "common/EngineInterface.h"

// Destroys the bound engine (engineHost.engineControl), if any, and forgets it.
void ReleaseEngine();
// Binds the engine for window (the saver window or the settings dialog) and
// loads the settings. A missing project name or a failed engine load shows
// its box and binds nothing; an engine whose Initialize fails stays bound,
// without settings. With an engine bound, only the settings load again.
void BindEngine(HWND window);
// The "DisplayName" of the project's registry key; false if missing, not
// REG_SZ, longer than outSize bytes with its terminator, or not a full path
// (IsFullPath). On false, out is left as it was.
bool FindInstallDir(const char* projectName, char* out, int outSize);
// Puts <directory>\channels and <directory>\3rd first in this process's PATH.
void PrependEnginePaths(const char* directory);
// Loads <directory>\drovik.dll and returns its EngineControl, or null; null
// at once, PATH untouched, when directory is not a full path.
EngineControl* LoadEngineLibrary(const char* directory);
