// What the viewer window procedure does with each message: pure decisions
// over the message and a few facts, so that the rules can be tested without
// a window. The Win32 procedure carries out the answer.
#pragma once

#include <stdint.h>

// The platform facts a decision may need. Each is asked only when the
// message needs it, so a recording fake can tell which calls were made.
class ViewerPlatform {
public:
    virtual bool PowerOffActive() = 0;
    virtual unsigned PowerOffTimeoutSeconds() = 0;
    virtual unsigned ScreenSaveTimeoutSeconds() = 0;
    // The platform id GetVersionExA reports (1 Win9x, 2 NT).
    virtual unsigned PlatformId() = 0;

protected:
    ~ViewerPlatform() = default;
};

// The state of the saver a decision depends on.
struct ViewerFacts {
    bool previewMode;
    bool doNotQuit;
    // Full screen on a Win9x platform: the shell may ask for the password
    // before a close goes ahead.
    bool closeMayNeedPassword;
};

enum class ViewerAction {
    PassOn,           // hand the message to SaverDefaultProc
    Swallow,          // answer 0, the close rules never see it
    RefuseWindow,     // answer -1 to WM_CREATE: the monitor powers off first
    StartThenPassOn,  // start the project, then pass on
    StopThenPassOn,   // stop the project, then pass on
    CloseThenPassOn,  // stop the project, destroy the window, then pass on
    VerifyThenClose,  // ask for the password first; close only when accepted
};

// The viewer's answer to one message (after the engine has seen it).
ViewerAction DecideViewerAction(unsigned message, uintptr_t wParam, const ViewerFacts& facts,
                                ViewerPlatform& platform);

// True when the monitor would power off before a full-screen saver starts,
// so the full-screen window is refused; the preview always starts.
bool MonitorPowersOffFirst(bool previewMode, ViewerPlatform& platform);
