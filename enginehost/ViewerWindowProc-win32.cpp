// The viewer's procedure for the saver window: shows every message to the
// engine, then carries out the viewer policy's answer for it.
#include "enginehost/ViewerWindowProc.h"

#include "enginehost/EngineHost.h"
#include "enginehost/RunControl.h"
#include "enginehost/ViewerPolicy.h"
#include "screensaver/SaverRun.h"
#include "screensaver/SaverWindow.h"

namespace {

// Closes the saver: the frame thread ends and the engine goes (or is given
// up on) before the window does, so nothing renders into a window that is
// being destroyed. A close let in while StopViewer waits neither gets here nor
// reaches DefWindowProcA, which would destroy the window too: the policy
// swallows it.
void CloseSaver(HWND window)
{
    StopViewer(window);
    DestroyWindow(window);
}

}  // namespace

LRESULT ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (engineHost.engineControl) {
        WindowThreadEngineCall call(EngineCallFor(message));
        engineHost.engineControl->WindowMessage(window, message, wParam, lParam);
    }

    ViewerFacts facts;
    facts.previewMode = saverRun.previewMode != 0;
    facts.doNotQuit = engineHost.viewerSettings.DoNotQuit();
    facts.closeMayNeedPassword = saverRun.win9xPlatform && !saverRun.previewMode;
    facts.stopInProgress = engineHost.stopInProgress;

    switch (DecideViewerAction(message, wParam, facts, *engineHost.viewerPlatform)) {
    case ViewerAction::Swallow: return 0;
    case ViewerAction::RefuseWindow: return -1;
    case ViewerAction::StartThenPassOn: StartViewer(window); break;
    case ViewerAction::StopThenPassOn: StopViewer(window); break;
    case ViewerAction::CloseThenPassOn: CloseSaver(window); break;
    case ViewerAction::VerifyThenClose:
        // The password is asked before anything stops. When it is refused
        // the project runs on and WM_CLOSE goes on to SaverDefaultProc, which
        // drops it at once (within 200 ms of this verification) and resets
        // its mouse reference point.
        if (VerifyPasswordOnClose(window)) CloseSaver(window);
        break;
    case ViewerAction::PassOn: break;
    }
    return SaverDefaultProc(window, message, wParam, lParam);
}
