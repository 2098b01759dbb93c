// previewhost.exe: a stand-in for the display settings' preview box. Opens a
// small window titled "Ormelix preview host" whose client area is the
// preview's parent, starts the saver given on its command line with
// "/p <that window>" and lives until closed or a key is pressed in it, then
// ends the saver with it.
// Usage: previewhost SAVER.SCR
#include <windows.h>

namespace {

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR saverPath, int)
{
    if (!saverPath[0]) {
        MessageBoxA(nullptr, "usage: previewhost SAVER.SCR", "previewhost", MB_OK);
        return 2;
    }
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = "OrmelixPreviewHost";
    RegisterClassA(&windowClass);
    RECT frame = {0, 0, 320, 240};  // the client area: a small monitor's screen
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND host = CreateWindowExA(0, "OrmelixPreviewHost", "Ormelix preview host",
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
    if (!host) return 1;
    SetForegroundWindow(host);

    char commandLine[MAX_PATH + 40];
    wsprintfA(commandLine, "\"%s\" /p %lu", saverPath,
              static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(host)));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION saver = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &saver))
        return 1;
    CloseHandle(saver.hThread);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // The preview went with its parent; give the saver a moment to end.
    if (WaitForSingleObject(saver.hProcess, 2000) == WAIT_TIMEOUT)
        TerminateProcess(saver.hProcess, 1);
    CloseHandle(saver.hProcess);
    return 0;
}
