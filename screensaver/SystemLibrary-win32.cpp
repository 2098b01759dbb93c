// Keeps the current directory out of the saver's library loads: the system
// libraries it binds at run time are loaded by full path, and later loads by
// name skip the current directory where the system allows it.
#include "screensaver/SystemLibrary.h"

#include "common/BoundedText.h"
#include "screensaver/SaverRun.h"

namespace {

// The system directory into a textSize buffer; false if it does not fit.
bool ReadSystemDirectory(char* directory)
{
    UINT length = GetSystemDirectoryA(directory, textSize);
    return length != 0 && length < textSize;
}

// The directory of the saver's own file, without a closing separator, into
// a textSize buffer; false if it cannot be told.
bool ReadSaverDirectory(char* directory)
{
    DWORD length = GetModuleFileNameA(saverRun.appInstance, directory, textSize);
    if (length == 0 || length >= textSize) return false;
    // Stepping by characters, so a double-byte character's second byte is
    // never taken for a separator.
    char* lastSeparator = nullptr;
    for (char* at = directory; *at != '\0'; at = CharNextA(at))
        if (*at == '\\' || *at == '/') lastSeparator = at;
    if (lastSeparator == nullptr) return false;
    *lastSeparator = '\0';
    return true;
}

HMODULE LoadFrom(const char* directory, const char* name)
{
    char path[textSize];
    return JoinPath(path, sizeof path, directory, name) ? LoadLibraryA(path) : nullptr;
}

}  // namespace

void KeepCurrentDirectoryOutOfLibrarySearch()
{
    typedef BOOL(WINAPI * SetDllDirectoryProc)(LPCSTR);
    SetDllDirectoryProc setDllDirectory =
        reinterpret_cast<SetDllDirectoryProc>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "SetDllDirectoryA")));
    char system[textSize];
    if (setDllDirectory != nullptr && ReadSystemDirectory(system)) setDllDirectory(system);
}

HMODULE LoadSystemLibrary(const char* name)
{
    char directory[textSize];
    HMODULE library = ReadSaverDirectory(directory) ? LoadFrom(directory, name) : nullptr;
    if (library == nullptr && ReadSystemDirectory(directory)) library = LoadFrom(directory, name);
    return library;
}
