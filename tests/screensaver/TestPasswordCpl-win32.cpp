// A stand-in "PASSWORD.CPL" for the saver's Win9x password check. The test
// controls it through the environment:
//   ORMELIX_PASSWORD_ANSWERS  '0'/'1' per call, the last one repeats ("1" if unset)
//   ORMELIX_PASSWORD_LOG      file that gets one line per call:
//                             "asked <n> pending-close <0|1>"
//   ORMELIX_PASSWORD_NESTED   "1": while asked, send the window a key press
//                             and a WM_CLOSE, as a user would behind the dialog
// pending-close tells whether a WM_CLOSE was queued to the window during the call.
#include <windows.h>

static int callCount;

static bool EnvironmentSays(const char* name, char* value, DWORD size)
{
    DWORD length = GetEnvironmentVariableA(name, value, size);
    return length > 0 && length < size;
}

static BOOL AnswerFor(int call)
{
    char answers[64];
    if (!EnvironmentSays("ORMELIX_PASSWORD_ANSWERS", answers, sizeof answers)) return TRUE;
    int last = lstrlenA(answers) - 1;
    return answers[call < last ? call : last] == '1';
}

static void Record(int call, bool pendingClose)
{
    char path[MAX_PATH];
    if (!EnvironmentSays("ORMELIX_PASSWORD_LOG", path, sizeof path)) return;
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    char line[64];
    int length = wsprintfA(line, "asked %d pending-close %d\r\n", call + 1, pendingClose ? 1 : 0);
    DWORD written;
    WriteFile(log, line, length, &written, nullptr);
    CloseHandle(log);
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window)
{
    int call = callCount++;
    char nested[4];
    if (EnvironmentSays("ORMELIX_PASSWORD_NESTED", nested, sizeof nested) && nested[0] == '1') {
        SendMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageA(window, WM_CLOSE, 0, 0);
    }
    MSG pending;
    bool pendingClose = PeekMessageA(&pending, window, WM_CLOSE, WM_CLOSE, PM_NOREMOVE) != 0;
    Record(call, pendingClose);
    return AnswerFor(call);
}
