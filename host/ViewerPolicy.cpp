// The viewer's message policy: power-off check on creation, start and stop
// with the window, the do-not-quit rule, and the monitor-power command.
#include "host/ViewerPolicy.h"

namespace m = viewer_message;

bool MonitorPowersOffFirst(bool previewMode, ViewerPlatform& platform)
{
    if (!platform.PowerOffActive())
        return false;
    unsigned powerOff = platform.PowerOffTimeoutSeconds();
    unsigned screenSave = platform.ScreenSaveTimeoutSeconds();
    return powerOff < screenSave && !previewMode;
}

static bool IsUserInput(unsigned message)
{
    switch (message) {
    case m::keyDown:
    case m::keyUp:
    case m::sysKeyDown:
    case m::mouseMove:
    case m::leftButtonDown:
    case m::rightButtonDown:
    case m::middleButtonDown:
        return true;
    default:
        return false;
    }
}

ViewerAction DecideViewerAction(unsigned message, uintptr_t wParam, const ViewerFacts& facts,
                                ViewerPlatform& platform)
{
    if (IsUserInput(message))
        return facts.doNotQuit ? ViewerAction::Swallow : ViewerAction::PassOn;
    switch (message) {
    case m::create:
        return MonitorPowersOffFirst(facts.previewMode, platform) ? ViewerAction::RefuseWindow
                                                                  : ViewerAction::StartThenPassOn;
    case m::destroy:
    // A preview window destroyed because another process's parent window
    // went may receive WM_NCDESTROY alone (so Wine does): the project stops
    // all the same. Stopping twice does nothing more.
    case m::ncDestroy:
        return ViewerAction::StopThenPassOn;
    case m::close:
        return facts.closeMayNeedPassword ? ViewerAction::VerifyThenClose
                                          : ViewerAction::CloseThenPassOn;
    case m::eraseBackground:
        return ViewerAction::Swallow;  // the engine paints the whole window
    case m::sysCommand:
        if (wParam != m::monitorPowerCommand)
            return ViewerAction::PassOn;
        return platform.PlatformId() == m::ntPlatform ? ViewerAction::PassOn
                                                      : ViewerAction::Swallow;
    default:
        return ViewerAction::PassOn;
    }
}
