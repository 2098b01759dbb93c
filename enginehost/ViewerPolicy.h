// What the viewer window procedure does with each message, and when the
// watchdog ends a process whose window thread is stuck in the engine: pure
// decisions over the message and a few facts, so that the rules can be
// tested without a window. The Win32 side carries out the answer.
#pragma once

#include <stdint.h>

#include "screensaver/CloseRules.h"

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
    // StopViewer is waiting for the frame thread: a close now came from a
    // message let in meanwhile, and the stop under way finishes the close.
    bool stopInProgress;
};

enum class ViewerAction {
    PassOn,           // hand the message to SaverDefaultProc
    Swallow,          // answer 0, the close rules never see it (nor DefWindowProcA)
    RefuseWindow,     // answer -1 to WM_CREATE: the monitor powers off first
    StartThenPassOn,  // start the project, then pass on
    StopThenPassOn,   // stop the project, then pass on
    CloseThenPassOn,  // stop the project, destroy the window, then pass on
    VerifyThenClose,  // ask for the password first; close only when accepted
};

// The viewer's answer to one message (after the engine has seen it).
ViewerAction DecideViewerAction(unsigned message, uintptr_t wParam, const ViewerFacts& facts,
                                ViewerPlatform& platform);

// What a call of the engine from the window thread is made for, as the
// watchdog sees it.
enum class EngineCallKind : uint8_t {
    Ordinary,    // closes nothing
    CloseAsked,  // WM_CLOSE: the close goes ahead unless a password is asked
    Stopping,    // the window is going, every check passed (Destroy, WM_DESTROY)
};
// The kind of the engine's WindowMessage call for this message.
EngineCallKind EngineCallFor(unsigned message);

// How long (ms) the window thread may stay inside one engine call before
// the watchdog may end the process: as long as StopViewer gives a frame.
constexpr uint32_t engineCallLimit = 1000;

// What the watchdog reads, every tenth of a second; ticks are milliseconds.
struct WatchdogFacts {
    bool insideCall;          // the window thread is inside an engine call...
    uint32_t callSince;       // ...begun at this tick...
    EngineCallKind callKind;  // ...for this
    uint32_t now;
    bool previewMode;
    bool parentAlive;  // preview: the window it lives in is still there
    bool inputKnown;   // the system tells the last input's tick (not Win9x)
    uint32_t lastInput;
    // The cursor at the watchdog's last look before the call, and now: under
    // Wine a key reaches no one while the window thread is stuck, the cursor
    // does.
    ScreenPoint cursorAtCall, cursor;
    bool doNotQuit;
    bool passwordInForce;  // Win9x: a close asks for the password first
};

// True when the watchdog is to end the process: the window thread has been
// inside one engine call for longer than the limit, and meanwhile a close the
// user is allowed would have happened: the call is a stop, or a close that
// needs no password, or the preview's parent went, or (full screen, input
// closing the saver, no password) the user gave input after the call began
// or moved the mouse far enough to close the saver since.
bool WatchdogEndsProcess(const WatchdogFacts& facts);

// True when the monitor would power off before a full-screen saver starts,
// so the full-screen window is refused; the preview always starts.
bool MonitorPowersOffFirst(bool previewMode, ViewerPlatform& platform);
