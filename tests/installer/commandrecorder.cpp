// commandrecorder: stands in for a system command (icacls) that the setup
// program runs, so a test sees what it asks Windows to do where Wine does not
// do it: appends its command line to the file ORMELIX_COMMAND_LOG names and
// exits 0 (1 without that variable or when the file cannot be written).
#include <windows.h>

int main()
{
    char log[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("ORMELIX_COMMAND_LOG", log, sizeof log);
    if (length == 0 || length >= sizeof log) return 1;
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const char* line = GetCommandLineA();
    DWORD written = 0;
    bool ok = WriteFile(file, line, lstrlenA(line), &written, nullptr) &&
              WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 1;
}
