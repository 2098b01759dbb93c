// Turns the packed project name into a bound, initialised engine: the install
// directory from the registry, the engine's directories on PATH, the engine
// library and its EngineControl, then the settings loaded through the engine.
#include "enginehost/EngineBinding.h"

#include "common/BoundedText.h"
#include "common/ErrorBox.h"
#include "enginehost/EngineHost.h"
#include "enginehost/EnginePath.h"
#include "common/ViewersKey.h"
#include "packdata/ReadAppendedValue.h"
#include "screensaver/SaverRun.h"

namespace {

const DWORD displayNameSize = 1200;
// The longest environment value, terminator included. A longer value cannot
// be set (Wine even faults inside SetEnvironmentVariableA at 32,767 characters).
const size_t environmentValueSize = 32767;

void ShowProjectNameError()
{
    DWORD error = GetLastError();
    char text[16];
    wsprintfA(text, "%lu", error);
    ShowErrorBox(nullptr, text, "Error while retrieving the project name", 0);
}

void ShowEngineInitError(HWND window, const char* directory)
{
    ShowErrorBox(window, directory, "Engine init error", MB_ICONERROR);
}

// Reads the whole PATH of this process into *path (HeapAlloc'ed; null when
// PATH is not set). False when it could not be read, so PATH is left alone
// rather than replaced by the engine's entries alone.
bool ReadWholePath(char** path)
{
    *path = nullptr;
    HANDLE heap = GetProcessHeap();
    DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
    while (size != 0) {
        char* buffer = static_cast<char*>(HeapAlloc(heap, 0, size));
        if (buffer == nullptr) return false;
        buffer[0] = '\0';
        DWORD length = GetEnvironmentVariableA("PATH", buffer, size);
        if (length < size) {
            *path = buffer;
            return true;
        }
        HeapFree(heap, 0, buffer);  // PATH grew in between: measure again
        size = length;
    }
    return GetLastError() == ERROR_ENVVAR_NOT_FOUND;
}

}  // namespace

void BindEngine(HWND window)
{
    if (engineHost.engineControl == nullptr) {
        char projectName[textSize];
        if (!ReadProjectName(projectName)) {
            ShowProjectNameError();
            return;
        }
        // Without a registered full path nothing is loaded.
        char directory[textSize] = {};
        if (FindInstallDir(projectName, directory, textLimit))
            engineHost.engineControl = LoadEngineLibrary(directory);
        if (engineHost.engineControl == nullptr) {
            ShowEngineInitError(window, directory);
            return;
        }
        engineHost.engineControl->SetInstallDir(directory);
        engineHost.engineControl->SetRegistryKey(viewersKey);
        if (!engineHost.engineControl->Initialize(saverRun.appInstance, "Ormelix", window)) return;
        engineHost.viewerSettings.SetInstallDirectory(directory);
    }
    // An engine bound earlier keeps the install directory the settings hold.
    engineHost.viewerSettings.SetEngineCore(engineHost.engineControl->GetCore());
    engineHost.viewerSettings.Load();
}

void ReleaseEngine()
{
    if (engineHost.engineControl) engineHost.engineControl->Destroy(1);
    engineHost.engineControl = nullptr;
}

bool FindInstallDir(const char* projectName, char* out, int outSize)
{
    char keyPath[keyPathSize];
    if (projectName == nullptr || out == nullptr || outSize <= 0 ||
        !JoinPath(keyPath, sizeof keyPath, viewersKey, projectName))
        return false;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    // One byte more than the query may fill keeps data stored without its
    // terminator terminated.
    char data[displayNameSize + 1] = {};
    DWORD type = REG_NONE;
    DWORD size = displayNameSize;
    LONG result =
        RegQueryValueExA(key, "DisplayName", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    // The size test comes first, so a value too long for the buffer fails here.
    if (size > static_cast<DWORD>(outSize) || result != ERROR_SUCCESS || type != REG_SZ)
        return false;
    // Data stored without its terminator can fit the size test and still be
    // one character too long: refused, as cut it would name another directory.
    if (lstrlenA(data) >= outSize) return false;
    // A relative directory would load the engine from wherever the saver
    // was started, or from the current drive's root.
    if (!IsFullPath(data)) return false;
    lstrcpynA(out, data, outSize);
    return true;
}

// PATH gains the engine's two entries in front of the whole old PATH, or,
// when the result would be longer than an environment value can be, stays
// exactly as it was: the old entries are never cut or lost. A directory of
// more than textLimit characters is not cut either (cut, it would name another
// directory): PATH stays as it was.
void PrependEnginePaths(const char* directory)
{
    if (directory == nullptr || lstrlenA(directory) > textLimit) return;
    char* oldPath;
    if (!ReadWholePath(&oldPath)) return;
    HANDLE heap = GetProcessHeap();
    if (!PathMentions(oldPath, directory)) {
        size_t size = ComposeEnginePath(directory, oldPath, nullptr, 0);
        char* newPath =
            size <= environmentValueSize ? static_cast<char*>(HeapAlloc(heap, 0, size)) : nullptr;
        if (newPath != nullptr) {
            ComposeEnginePath(directory, oldPath, newPath, size);
            SetEnvironmentVariableA("PATH", newPath);
            HeapFree(heap, 0, newPath);
        }
    }
    if (oldPath != nullptr) HeapFree(heap, 0, oldPath);
}

EngineControl* LoadEngineLibrary(const char* directory)
{
    // Only a full path: an empty or relative directory would load a
    // drovik.dll from the current directory, beside the saver or from the
    // drive's root, and put relative entries on PATH.
    if (!IsFullPath(directory)) return nullptr;
    PrependEnginePaths(directory);
    char libraryPath[textSize];
    if (!JoinPath(libraryPath, sizeof libraryPath, directory, "drovik.dll")) return nullptr;
    HMODULE library = LoadLibraryA(libraryPath);
    if (library == nullptr) return nullptr;
    // The library stays loaded for the life of the process, entry point or not.
    FARPROC entry = GetProcAddress(library, "GetEngineControlInstance");
    if (entry == nullptr) return nullptr;
    return reinterpret_cast<GetEngineControlInstanceProc>(reinterpret_cast<void*>(entry))();
}
