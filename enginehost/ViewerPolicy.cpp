// The viewer's message policy: power-off check on creation, start and stop
// with the window, the do-not-quit rule, the monitor-power command, and the
// watchdog's rule.
#include "enginehost/ViewerPolicy.h"

#include "common/WindowMessages.h"

namespace m = SaverMsg;

bool MonitorPowersOffFirst(bool previewMode, ViewerPlatform& platform)
{
    if (!platform.PowerOffActive()) return false;
    unsigned powerOff = platform.PowerOffTimeoutSeconds();
    unsigned screenSave = platform.ScreenSaveTimeoutSeconds();
    return powerOff < screenSave && !previewMode;
}

// With do-not-quit set a key's release is swallowed along with its press,
// so the default handling never sees half a key stroke. The shell's rule
// (IsClosingInput alone) differs on purpose: once a close is approved it
// keeps from the viewer only the input that could close the saver, and a
// release closes nothing.
static bool SwallowedWithDoNotQuit(unsigned message)
{
    return m::IsClosingInput(message) || message == m::KeyUp;
}

ViewerAction DecideViewerAction(unsigned message, uintptr_t wParam, const ViewerFacts& facts,
                                ViewerPlatform& platform)
{
    if (SwallowedWithDoNotQuit(message))
        return facts.doNotQuit ? ViewerAction::Swallow : ViewerAction::PassOn;
    switch (message) {
    case m::Create:
        return MonitorPowersOffFirst(facts.previewMode, platform) ? ViewerAction::RefuseWindow
                                                                  : ViewerAction::StartThenPassOn;
    case m::Destroy:
    // A preview window destroyed because another process's parent window
    // went may receive WM_NCDESTROY alone (so Wine does): the project stops
    // all the same. Stopping twice does nothing more.
    case m::NcDestroy: return ViewerAction::StopThenPassOn;
    case m::Close:
        // Closing here would destroy the window while the engine still runs
        // a frame; the close that began the stop destroys it after the engine.
        if (facts.stopInProgress) return ViewerAction::Swallow;
        return facts.closeMayNeedPassword ? ViewerAction::VerifyThenClose
                                          : ViewerAction::CloseThenPassOn;
    case m::EraseBackground: return ViewerAction::Swallow;  // the engine paints the whole window
    case m::SysCommand:
        if (wParam != m::ScMonitorPower) return ViewerAction::PassOn;
        return platform.PlatformId() == m::PlatformNt ? ViewerAction::PassOn
                                                      : ViewerAction::Swallow;
    default: return ViewerAction::PassOn;
    }
}

EngineCallKind EngineCallFor(unsigned message)
{
    switch (message) {
    case m::Close: return EngineCallKind::CloseAsked;
    case m::Destroy:
    case m::NcDestroy: return EngineCallKind::Stopping;
    default: return EngineCallKind::Ordinary;
    }
}

bool WatchdogEndsProcess(const WatchdogFacts& facts)
{
    if (!facts.insideCall || facts.now - facts.callSince <= engineCallLimit) return false;
    if (facts.callKind == EngineCallKind::Stopping) return true;
    if (facts.passwordInForce) return false;  // never passed by
    if (facts.callKind == EngineCallKind::CloseAsked) return true;
    if (facts.previewMode) return !facts.parentAlive;
    if (facts.doNotQuit) return false;
    // Input at the call's own tick may be what led to it.
    return (facts.inputKnown && static_cast<int32_t>(facts.lastInput - facts.callSince) > 0) ||
           TravelCloses(facts.cursorAtCall, facts.cursor);
}
