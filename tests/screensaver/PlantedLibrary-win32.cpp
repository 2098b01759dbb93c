// A library planted where the saver must not load from. Copied under the
// names the saver asks for (drovik.dll, MPR.DLL, PASSWORD.CPL, a plug-in's
// GUID name), it appends its own full path as one line to the file named by
// ORMELIX_PLANTED_LOG as soon as it is loaded, and offers the entry points
// those names stand for, each doing nothing.
#include <windows.h>

namespace {

void RecordLoad(HMODULE self)
{
    char log[MAX_PATH];
    DWORD logLength = GetEnvironmentVariableA("ORMELIX_PLANTED_LOG", log, sizeof log);
    if (logLength == 0 || logLength >= sizeof log) return;
    char line[MAX_PATH + 2];
    DWORD length = GetModuleFileNameA(self, line, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    line[length++] = '\r';
    line[length++] = '\n';
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, length, &written, nullptr);
    CloseHandle(file);
}

}  // namespace

// The engine's entry point: no engine, so the saver reports a failed load.
extern "C" __declspec(dllexport) void* GetEngineControlInstance() { return nullptr; }

// The Win9x password verifier: accepts.
extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND) { return TRUE; }

// The Win9x password changer: changes nothing.
extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR, HWND, DWORD, LPVOID)
{
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) RecordLoad(instance);
    return TRUE;
}
