// The benchmarks' baseline: a minimal conventional screen saver. One window
// thread, a full-screen topmost window, a GDI drawing on a 20 ms timer, and
// it closes on the first key, click or mouse travel. When ORMELIX_ENGINE_TRACE
// names a file it writes the same trace lines as the stand-in engine for
// what it does ("Frame" per drawing, "WindowMessage" per paint), so the
// benchmark reads both the same way.
#include <windows.h>

#include <stdlib.h>

namespace {

const UINT drawInterval = 20;
char tracePath[MAX_PATH];
DWORD startTick;
POINT startCursor;
unsigned frameNumber;

void Trace(const char* operation, UINT message)
{
    if (!tracePath[0]) return;
    char line[64];
    int length = message ? wsprintfA(line, "%lu %s 0 0x%04X\r\n", GetTickCount() - startTick,
                                     operation, message)
                         : wsprintfA(line, "%lu %s\r\n", GetTickCount() - startTick, operation);
    HANDLE file = CreateFileA(tracePath, FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(file, line, length, &written, nullptr);
    CloseHandle(file);
}

// One frame: a band that moves across a black window.
void Draw(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT band = client;
    band.left = static_cast<LONG>((frameNumber * 8) % (client.right + 1));
    band.right = band.left + 64;
    FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(window, dc);
    ++frameNumber;
    Trace("Frame", 0);
}

bool MouseTravelled()
{
    POINT now;
    GetCursorPos(&now);
    return abs(now.x - startCursor.x) + abs(now.y - startCursor.y) > 4;
}

LRESULT CALLBACK BaselineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        GetCursorPos(&startCursor);
        SetTimer(window, 1, drawInterval, nullptr);
        return 0;
    case WM_TIMER: Draw(window); return 0;
    case WM_PAINT:
        Trace("WindowMessage", WM_PAINT);
        ValidateRect(window, nullptr);
        Draw(window);
        return 0;
    case WM_SETCURSOR: SetCursor(nullptr); return TRUE;
    case WM_MOUSEMOVE:
        if (MouseTravelled()) PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: PostMessageA(window, WM_CLOSE, 0, 0); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    startTick = GetTickCount();
    DWORD length = GetEnvironmentVariableA("ORMELIX_ENGINE_TRACE", tracePath, sizeof tracePath);
    if (length >= sizeof tracePath) tracePath[0] = 0;
    Trace("Start", 0);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BaselineProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "BaselineSaverClass";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST, "BaselineSaverClass", "Baseline Saver",
                        WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                        GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    SetForegroundWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
