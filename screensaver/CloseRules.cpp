// The close rules of the saver window, free of the window system.
#include "screensaver/CloseRules.h"

namespace {

Decision Start(const CloseState& state, Outcome outcome)
{
    Decision d;
    d.outcome = outcome;
    d.next = state;
    return d;
}

Decision AnswerWith(const CloseState& state, intptr_t result)
{
    Decision d = Start(state, Outcome::Answer);
    d.result = result;
    return d;
}

uint32_t Distance(int32_t a, int32_t b)
{
    // Subtracted modulo 2^32 like the 32-bit coordinates themselves, so that
    // no input can overflow; the absolute value is taken of that difference.
    uint32_t d = static_cast<uint32_t>(a) - static_cast<uint32_t>(b);
    return static_cast<int32_t>(d) < 0 ? 0u - d : d;
}

}  // namespace

bool TravelCloses(const ScreenPoint& from, const ScreenPoint& to)
{
    return Distance(to.x, from.x) + Distance(to.y, from.y) > mouseMoveThreshold;
}

namespace {

bool SameScreen(const ScreenRect& a, const ScreenRect& b)
{
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

// The monitors changed: the window covers the new virtual screen, and since
// the change itself moves the cursor in screen coordinates, travel is
// measured afresh from where the cursor is now.
void FollowScreen(const SaverEvent& event, Decision& d)
{
    d.coverScreen = true;
    d.next.screen = event.screen;
    d.next.lastCursorPos = event.cursor;
    d.next.travelPending = false;
}

// A move on the screen the window covers: the first travel past the
// threshold waits for its timer, a second one is the user's and closes.
void ApplyTravel(const SaverEvent& event, Decision& d)
{
    if (!TravelCloses(d.next.lastCursorPos, event.cursor)) return;
    d.postClose = d.next.travelPending;
    d.armTravelTimer = !d.next.travelPending;
    d.next.travelPending = !d.next.travelPending;
    d.next.lastCursorPos = event.cursor;
}

// The travel timer: no display change came, so the travel was the user's.
void ConfirmTravel(const SaverEvent& event, Decision& d)
{
    if (!d.next.travelPending) return;
    if (!SameScreen(event.screen, d.next.screen)) {
        FollowScreen(event, d);
        return;
    }
    d.postClose = true;
    d.next.travelPending = false;
}

// WM_POWERBROADCAST: whether the event closes the saver; updates the AC status.
bool PowerEventCloses(const SaverEvent& event, CloseState& next)
{
    switch (event.wParam) {
    case SaverMsg::PbtResumeCritical:
    case SaverMsg::PbtResumeSuspend:
    case SaverMsg::PbtResumeStandby:
    case SaverMsg::PbtResumeAutomatic: return (event.lParam & SaverMsg::PbtfResumeFromFailure) == 0;
    case SaverMsg::PbtPowerStatusChange: {
        bool changed = event.acLineStatus != next.acLineStatus;
        next.acLineStatus = event.acLineStatus;
        return changed;
    }
    default: return true;  // queries, suspends, low battery, OEM and unknown events
    }
}

// The rules of a running full-screen saver with no password dialog up.
// Returns true when the message still goes on to Finish.
bool ApplyRunningRules(const SaverEvent& event, Decision& d)
{
    switch (event.message) {
    case SaverMsg::KeyDown:
    case SaverMsg::SysKeyDown:
    case SaverMsg::LButtonDown:
    case SaverMsg::RButtonDown:
    case SaverMsg::MButtonDown: d.postClose = true; break;
    case SaverMsg::MouseMove:
        // A display change sends its cursor move before WM_DISPLAYCHANGE.
        if (!SameScreen(event.screen, d.next.screen))
            FollowScreen(event, d);
        else
            ApplyTravel(event, d);
        break;
    case SaverMsg::Timer:
        if (event.wParam == travelTimerId) ConfirmTravel(event, d);
        break;
    case SaverMsg::ActivateApp: d.postClose = event.wParam == 0; break;
    case SaverMsg::ShowWindow: d.hideCursor = event.wParam != 0; break;
    case SaverMsg::SetCursor:
        d.hideCursor = true;
        d.outcome = Outcome::Answer;
        d.result = 1;
        return false;
    case SaverMsg::Power: d.postClose = event.wParam == SaverMsg::PwrCriticalResume; break;
    case SaverMsg::PowerBroadcast: d.postClose = PowerEventCloses(event, d.next); break;
    default: break;
    }
    return true;
}

// The end of every path: the AutoPlay query is answered in every state; all
// else goes to DefWindowProcA.
Decision Finish(const CloseContext& context, Decision d, uint32_t message)
{
    if (context.autoPlayQueryMessage != 0 && message == context.autoPlayQueryMessage) {
        d.postClose = true;
        d.outcome = Outcome::Answer;
        d.result = context.verifierLoaded ? 1 : 0;  // 1 cancels AutoPlay
        return d;
    }
    d.outcome = Outcome::DefaultProcedure;
    return d;
}

}  // namespace

Decision DecideSaverWindowMessage(const CloseContext& context, const CloseState& state,
                                  const SaverEvent& event)
{
    bool fullScreen = !context.previewMode;
    Decision d = Start(state, Outcome::Forward);
    switch (event.message) {
    case SaverMsg::Create: d.hideCursor = fullScreen; return d;
    case SaverMsg::SetText: return AnswerWith(state, 0);  // the title never changes
    case SaverMsg::Paint:
        if (state.closeApproved) return Start(state, Outcome::DefaultProcedure);
        d.hideCursor = fullScreen;
        return d;
    case SaverMsg::Help:
    case SaverMsg::ContextMenu: return fullScreen ? d : Start(state, Outcome::PostToParent);
    case SaverMsg::SysCommand:
        if (!fullScreen) return d;
        // Compared as a whole: a command with other low bits is not these.
        if (event.wParam == SaverMsg::ScNextWindow || event.wParam == SaverMsg::ScPrevWindow ||
            event.wParam == SaverMsg::ScScreenSave)
            return AnswerWith(state, 0);
        d.postClose = event.wParam == SaverMsg::ScMonitorPower;
        return d;
    case SaverMsg::Timer:
        if (state.closeApproved) return AnswerWith(state, 0);
        d.yield = true;
        return d;
    // A preview is sized by its parent, and only top-level windows are told.
    case SaverMsg::DisplayChange:
        if (fullScreen) FollowScreen(event, d);
        return d;
    default:
        if (SaverMsg::IsClosingInput(event.message) && state.closeApproved)
            return Start(state, Outcome::DefaultProcedure);
        return d;
    }
}

Decision DecideSaverDefault(const CloseContext& context, const CloseState& state,
                            const SaverEvent& event)
{
    Decision d = Start(state, Outcome::DefaultProcedure);
    // The travel timer fires once, whatever the state.
    d.killTravelTimer = event.message == SaverMsg::Timer && event.wParam == travelTimerId;
    // No close rules in a preview or once the close is approved.
    if (context.previewMode || state.closeApproved) return Finish(context, d, event.message);

    // Full screen, not yet approved: the password check first (Win9x only),
    // then nothing closes while the password dialog is up.
    if (event.message == SaverMsg::Close && context.win9xPlatform)
        return Start(state, Outcome::VerifyClose);
    if (event.message == SaverMsg::App && context.win9xPlatform)
        return context.verifierLoaded ? Start(state, Outcome::AskVerifier) : AnswerWith(state, 1);
    if (state.verifyInProgress) return Finish(context, d, event.message);
    if (!ApplyRunningRules(event, d)) return d;
    return Finish(context, d, event.message);
}

bool NeedsAcLineStatus(uint32_t message, uintptr_t wParam)
{
    return message == SaverMsg::PowerBroadcast && wParam == SaverMsg::PbtPowerStatusChange;
}

bool NeedsScreen(uint32_t message)
{
    return message == SaverMsg::MouseMove || message == SaverMsg::DisplayChange ||
           message == SaverMsg::Timer;
}

VerifyGate DecideVerifyGate(const CloseState& state, bool verifierLoaded, uint32_t now)
{
    if (state.verifyInProgress) return VerifyGate::Refuse;
    if (!verifierLoaded) return VerifyGate::Approve;
    if (state.lastVerifyTick != neverVerified && now - state.lastVerifyTick < verifyQuietMs)
        return VerifyGate::Refuse;
    return VerifyGate::Ask;
}

CloseState FinishVerify(const CloseState& state, uint32_t verifierResult, uint32_t now)
{
    CloseState next = state;
    next.closeApproved = verifierResult;
    next.verifyInProgress = false;
    next.lastVerifyTick = now;
    return next;
}
