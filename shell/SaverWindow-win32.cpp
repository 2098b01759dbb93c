// The saver window: its class, its full-screen and preview forms, the message
// loop and the outer window procedure with the input-method detach.
#include "shell/SaverShell.h"
#include "shell/SaverWindow.h"
#include "shell/SaverWindowState.h"

int previewMode;
CloseState closeState;
UINT autoPlayQueryMessage;
HWND saverWindow;
ViewerProcedure viewerWindowProc;

static const char kClassName[] = "WindowsScreenSaverClass";
static const char kFullScreenTitle[] = "Screen Saver";

// The input method is detached from the saver window while it lives, when
// the process already uses one (IMM32.DLL is never loaded for this).
typedef HANDLE(WINAPI* ImmAssociateContextFunction)(HWND window, HANDLE context);
static HMODULE imeModule;
static ImmAssociateContextFunction immAssociateContextProc;
static HANDLE savedImeContext;

struct WindowForm {
    DWORD exStyle;
    DWORD style;
    const char* title;
    RECT bounds;  // left, top, width, height
};

static RECT VirtualScreen()
{
    RECT r = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
              GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (r.right != 0 && r.bottom != 0) return r;
    // Systems without virtual-screen metrics: the screen's clip box.
    HDC screen = GetDC(nullptr);
    RECT clip = {0, 0, 0, 0};
    GetClipBox(screen, &clip);
    ReleaseDC(nullptr, screen);
    RECT fallback = {clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top};
    return fallback;
}

static WindowForm PreviewForm(HWND parent)
{
    RECT client = {0, 0, 0, 0};
    GetClientRect(parent, &client);
    WindowForm form = {0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, "Preview",
                       {0, 0, client.right, client.bottom}};
    return form;
}

static WindowForm FullScreenForm()
{
    WindowForm form = {WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                       kFullScreenTitle, VirtualScreen()};
    return form;
}

// Single-instance rule: a running full-screen saver is brought forward instead.
static bool ActivateRunningSaver()
{
    HWND running = FindWindowA(kClassName, kFullScreenTitle);
    if (!running || !IsWindow(running)) return false;
    SetForegroundWindow(running);
    return true;
}

static int RunMessageLoop()
{
    MSG msg;
    int got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 0;  // no queue to read: nothing more will come
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int RunSaverWindow(HWND parent, ViewerProcedure viewerProc)
{
    viewerWindowProc = viewerProc;
    WNDCLASSA windowClass = {CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC,
                             SaverWindowProc,
                             0,
                             0,
                             appInstance,
                             LoadIconA(appInstance, MAKEINTRESOURCEA(100)),
                             nullptr,
                             static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)),
                             nullptr,
                             kClassName};
    WindowForm form;
    if (parent) {
        form = PreviewForm(parent);
        previewMode = 1;
    } else {
        form = FullScreenForm();
        if (ActivateRunningSaver()) return 0;
        closeState.acLineStatus = ReadAcLineStatus();
        LoadPasswordLibrary();
    }
    autoPlayQueryMessage = win9xPlatform ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

    int result = 0;
    saverWindow = RegisterClassA(&windowClass)
                      ? CreateWindowExA(form.exStyle, kClassName, form.title, form.style,
                                        form.bounds.left, form.bounds.top, form.bounds.right,
                                        form.bounds.bottom, parent, nullptr, appInstance, nullptr)
                      : nullptr;
    if (saverWindow) {
        if (!parent) SetForegroundWindow(saverWindow);
        result = RunMessageLoop();
    }
    UnloadPasswordLibrary();
    return result;
}

static void DetachInputMethod(HWND window)
{
    imeModule = GetModuleHandleA("IMM32.DLL");
    if (!imeModule) return;
    immAssociateContextProc = reinterpret_cast<ImmAssociateContextFunction>(
        reinterpret_cast<void*>(GetProcAddress(imeModule, "ImmAssociateContext")));
    if (immAssociateContextProc) savedImeContext = immAssociateContextProc(window, nullptr);
}

static void RestoreInputMethod(HWND window)
{
    if (imeModule && immAssociateContextProc && savedImeContext)
        immAssociateContextProc(window, savedImeContext);
}

static void OnCreate(HWND window)
{
    DetachInputMethod(window);
    closeState.lastCursorPos = CursorNow();
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: OnCreate(window); break;
    case WM_DESTROY: RestoreInputMethod(window); PostQuitMessage(0); break;
    // The last message of any window, even one destroyed with a parent of
    // another process without WM_DESTROY: the loop must end all the same.
    case WM_NCDESTROY: PostQuitMessage(0); break;
    }
    SaverEvent event;
    event.message = message;
    event.wParam = wParam;
    event.lParam = lParam;
    return CarryOutDecision(DecideSaverWindowMessage(CurrentCloseContext(), closeState, event),
                            window, message, wParam, lParam);
}
