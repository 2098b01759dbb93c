// What the viewer window procedure does with each message: pure decisions
// over the message and a few facts, so that the rules can be tested without
// a window. The Win32 procedure carries out the answer.
#pragma once

#include <stdint.h>

// The window messages the viewer treats specially (their Win32 numbers).
namespace viewer_message {
constexpr unsigned create = 0x0001;
constexpr unsigned destroy = 0x0002;
constexpr unsigned ncDestroy = 0x0082;
constexpr unsigned close = 0x0010;
constexpr unsigned eraseBackground = 0x0014;
constexpr unsigned keyDown = 0x0100;
constexpr unsigned keyUp = 0x0101;
constexpr unsigned sysKeyDown = 0x0104;
constexpr unsigned sysCommand = 0x0112;
constexpr unsigned mouseMove = 0x0200;
constexpr unsigned leftButtonDown = 0x0201;
constexpr unsigned rightButtonDown = 0x0204;
constexpr unsigned middleButtonDown = 0x0207;
constexpr uintptr_t monitorPowerCommand = 0xF170;  // SC_MONITORPOWER
constexpr unsigned ntPlatform = 2;                 // VER_PLATFORM_WIN32_NT
}  // namespace viewer_message

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
