// The saver window: its class, its full-screen and preview forms, the message
// loop and the outer window procedure with the input-method detach.
#include "screensaver/SaverRun.h"
#include "screensaver/SaverShell.h"
#include "screensaver/SaverWindow.h"
#include "screensaver/SaverWindowInternal.h"

static const char saverClassName[] = "WindowsScreenSaverClass";
static const char fullScreenTitle[] = "Screen Saver";

struct WindowForm {
    DWORD exStyle;
    DWORD style;
    const char* title;
    RECT bounds;  // left, top, width, height
};

static WindowForm PreviewForm(HWND parent)
{
    RECT client = {0, 0, 0, 0};
    GetClientRect(parent, &client);
    WindowForm form = {
        0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, "Preview", {0, 0, client.right, client.bottom}};
    return form;
}

static WindowForm FullScreenForm()
{
    ScreenRect screen = VirtualScreen();
    WindowForm form = {WS_EX_TOPMOST,
                       WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                       fullScreenTitle,
                       {screen.left, screen.top, screen.width, screen.height}};
    return form;
}

// Single-instance rule: a running full-screen saver is brought forward instead.
static bool ActivateRunningSaver()
{
    HWND running = FindWindowA(saverClassName, fullScreenTitle);
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
    saverRun.viewerWindowProc = viewerProc;
    WNDCLASSA windowClass = {CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC,
                             SaverWindowProc,
                             0,
                             0,
                             saverRun.appInstance,
                             LoadIconA(saverRun.appInstance, MAKEINTRESOURCEA(100)),
                             nullptr,
                             static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)),
                             nullptr,
                             saverClassName};
    WindowForm form;
    if (parent) {
        form = PreviewForm(parent);
        saverRun.previewMode = 1;
    } else {
        form = FullScreenForm();
        if (ActivateRunningSaver()) return 0;
        saverRun.closeState.acLineStatus = ReadAcLineStatus();
        LoadPasswordLibrary();
    }
    saverRun.autoPlayQueryMessage =
        saverRun.win9xPlatform ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

    int result = 0;
    saverRun.saverWindow =
        RegisterClassA(&windowClass)
            ? CreateWindowExA(form.exStyle, saverClassName, form.title, form.style,
                              form.bounds.left, form.bounds.top, form.bounds.right,
                              form.bounds.bottom, parent, nullptr, saverRun.appInstance, nullptr)
            : nullptr;
    if (saverRun.saverWindow) {
        if (!parent) SetForegroundWindow(saverRun.saverWindow);
        result = RunMessageLoop();
    }
    UnloadPasswordLibrary();
    return result;
}

static void DetachInputMethod(HWND window)
{
    saverRun.imeModule = GetModuleHandleA("IMM32.DLL");
    if (!saverRun.imeModule) return;
    saverRun.immAssociateContextProc = reinterpret_cast<ImmAssociateContextFunction>(
        reinterpret_cast<void*>(GetProcAddress(saverRun.imeModule, "ImmAssociateContext")));
    if (saverRun.immAssociateContextProc)
        saverRun.savedImeContext = saverRun.immAssociateContextProc(window, nullptr);
}

static void RestoreInputMethod(HWND window)
{
    if (saverRun.imeModule && saverRun.immAssociateContextProc && saverRun.savedImeContext)
        saverRun.immAssociateContextProc(window, saverRun.savedImeContext);
}

static void OnCreate(HWND window)
{
    DetachInputMethod(window);
    saverRun.closeState.lastCursorPos = CursorNow();
    saverRun.closeState.screen = VirtualScreen();
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: OnCreate(window); break;
    case WM_DESTROY:
        RestoreInputMethod(window);
        PostQuitMessage(0);
        break;
    // The last message of any window, even one destroyed with a parent of
    // another process without WM_DESTROY: the loop must end all the same.
    case WM_NCDESTROY: PostQuitMessage(0); break;
    }
    SaverEvent event;
    event.message = message;
    event.wParam = wParam;
    event.lParam = lParam;
    if (NeedsScreen(message)) {
        event.cursor = CursorNow();
        event.screen = VirtualScreen();
    }
    return CarryOutDecision(
        DecideSaverWindowMessage(CurrentCloseContext(), saverRun.closeState, event), window,
        message, wParam, lParam);
}
