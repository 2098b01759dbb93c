// Where the saver loads libraries from: never from the current directory,
// so a library planted where the saver happens to be started is not run.
#pragma once

#include <windows.h>

// Takes the current directory out of the search order of every later
// library load by name in this process (the engine's plug-ins among them),
// where the system can: SetDllDirectoryA, looked up at run time because
// Win9x and early NT lack it, is given the system directory. That one is
// searched right after the program's directory anyway, and unlike an empty
// string it takes the current directory out under Wine as well. Elsewhere
// nothing changes.
void KeepCurrentDirectoryOutOfLibrarySearch();

// Loads a system library by its full path: from the directory of the
// saver's own file (appInstance) if it is there, else from the system
// directory. Never from the current directory or PATH. Null when neither
// holds a loadable library of that name.
HMODULE LoadSystemLibrary(const char* name);
