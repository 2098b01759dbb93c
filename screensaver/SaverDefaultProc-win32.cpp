// The shell's default procedure for the saver window and the password check
// on close: they read the system, ask the close rules and carry out the answer.
#include "screensaver/SaverRun.h"
#include "screensaver/SaverShell.h"
#include "screensaver/SaverWindow.h"
#include "screensaver/SaverWindowInternal.h"

CloseContext CurrentCloseContext()
{
    CloseContext context;
    context.previewMode = saverRun.previewMode != 0;
    context.win9xPlatform = saverRun.win9xPlatform != 0;
    context.verifierLoaded = saverRun.verifyPasswordProc != nullptr;
    context.autoPlayQueryMessage = saverRun.autoPlayQueryMessage;
    return context;
}

uint8_t ReadAcLineStatus()
{
    SYSTEM_POWER_STATUS status;
    return GetSystemPowerStatus(&status) ? status.ACLineStatus : noAcReading;
}

ScreenPoint CursorNow()
{
    POINT p = {0, 0};
    GetCursorPos(&p);
    ScreenPoint point;
    point.x = p.x;
    point.y = p.y;
    return point;
}

ScreenRect VirtualScreen()
{
    ScreenRect r;
    r.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    r.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    r.width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    r.height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (r.width != 0 && r.height != 0) return r;
    // Systems without virtual-screen metrics: the screen's clip box.
    HDC screen = GetDC(nullptr);
    RECT clip = {0, 0, 0, 0};
    GetClipBox(screen, &clip);
    ReleaseDC(nullptr, screen);
    r.left = clip.left;
    r.top = clip.top;
    r.width = clip.right - clip.left;
    r.height = clip.bottom - clip.top;
    return r;
}

// The window over the whole virtual screen, staying where it is in the
// z-order and the activation; the engine sees the WM_SIZE this sends.
static void CoverScreen(HWND window, const ScreenRect& screen)
{
    SetWindowPos(window, nullptr, screen.left, screen.top, screen.width, screen.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// Preview windows hand help and context-menu requests to the window they live in.
static void PostToParent(HWND window, UINT message, LPARAM lParam)
{
    HWND parent = GetParent(window);
    if (parent && IsWindow(parent))
        PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
}

LRESULT CarryOutDecision(const Decision& decision, HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam)
{
    saverRun.closeState = decision.next;
    if (decision.coverScreen) CoverScreen(window, decision.next.screen);
    if (decision.armTravelTimer) SetTimer(window, travelTimerId, travelConfirmMs, nullptr);
    if (decision.killTravelTimer) KillTimer(window, travelTimerId);
    if (decision.hideCursor) SetCursor(nullptr);
    if (decision.yield) Sleep(0);
    if (decision.postClose) PostMessageA(window, WM_CLOSE, 0, 0);
    switch (decision.outcome) {
    case Outcome::Forward: return saverRun.viewerWindowProc(window, message, wParam, lParam);
    case Outcome::Answer: return decision.result;
    case Outcome::PostToParent: PostToParent(window, message, lParam); return 1;
    case Outcome::VerifyClose:
        if (VerifyPasswordOnClose(window)) break;
        saverRun.closeState.lastCursorPos = CursorNow();  // refused: measure travel afresh
        return 0;
    case Outcome::AskVerifier: return saverRun.verifyPasswordProc(window);
    case Outcome::DefaultProcedure: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SaverEvent event;
    event.message = message;
    event.wParam = wParam;
    event.lParam = lParam;
    event.cursor = CursorNow();
    if (NeedsAcLineStatus(message, wParam)) event.acLineStatus = ReadAcLineStatus();
    if (NeedsScreen(message)) event.screen = VirtualScreen();
    return CarryOutDecision(DecideSaverDefault(CurrentCloseContext(), saverRun.closeState, event),
                            window, message, wParam, lParam);
}

bool VerifyPasswordOnClose(HWND window)
{
    switch (DecideVerifyGate(saverRun.closeState, saverRun.verifyPasswordProc != nullptr,
                             GetTickCount())) {
    case VerifyGate::Refuse: return false;
    case VerifyGate::Approve: saverRun.closeState.closeApproved = 1; return true;
    case VerifyGate::Ask: break;
    }
    saverRun.closeState.verifyInProgress = true;
    // Timer messages queued before the dialog would reach the viewer behind it.
    MSG pending;
    for (int i = 0; i < 2; ++i)
        PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    // The answer travels the whole procedure chain and back (WM_APP).
    LRESULT accepted = SendMessageA(window, WM_APP, 0, 0);
    if (!accepted) SetCursor(nullptr);
    saverRun.closeState =
        FinishVerify(saverRun.closeState, static_cast<uint32_t>(accepted), GetTickCount());
    return saverRun.closeState.closeApproved != 0;
}
