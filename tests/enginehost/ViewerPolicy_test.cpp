// The viewer window procedure's policy, one row per rule, with a recording
// platform fake that tells which system settings each decision read.
#include "enginehost/ViewerPolicy.h"

#include "common/WindowMessages.h"

#include <gtest/gtest.h>
#include <string>

namespace m = SaverMsg;

namespace {

class RecordingPlatform final : public ViewerPlatform {
public:
    bool powerOffActive = false;
    unsigned powerOffTimeout = 0, screenSaveTimeout = 0, platformId = m::PlatformNt;
    std::string asked;  // one letter per call: A active, P power-off, S screen-save, V version

    bool PowerOffActive() override
    {
        asked += 'A';
        return powerOffActive;
    }
    unsigned PowerOffTimeoutSeconds() override
    {
        asked += 'P';
        return powerOffTimeout;
    }
    unsigned ScreenSaveTimeoutSeconds() override
    {
        asked += 'S';
        return screenSaveTimeout;
    }
    unsigned PlatformId() override
    {
        asked += 'V';
        return platformId;
    }
};

struct PolicyCase {
    const char* rule;
    unsigned message;
    uintptr_t wParam;
    ViewerFacts facts;
    bool powerOffActive;
    unsigned powerOffTimeout, screenSaveTimeout, platformId;
    ViewerAction expected;
    const char* expectedAsked;
};

constexpr ViewerFacts fullScreen{false, false, false, false};
constexpr ViewerFacts preview{true, false, false, false};
constexpr ViewerFacts fullScreenDoNotQuit{false, true, false, false};
constexpr ViewerFacts win9xFullScreen{false, false, true, false};
constexpr ViewerFacts fullScreenStopping{false, false, false, true};
constexpr ViewerFacts win9xFullScreenStopping{false, false, true, true};

const PolicyCase policyCases[] = {
    // Power-off check: active, 600 s power-off before a 900 s saver refuses full screen...
    {"power-off first refuses full screen", m::Create, 0, fullScreen, true, 600, 900, 2,
     ViewerAction::RefuseWindow, "APS"},
    // ...but the preview starts with the same settings.
    {"power-off first still starts the preview", m::Create, 0, preview, true, 600, 900, 2,
     ViewerAction::StartThenPassOn, "APS"},
    // Power-off inactive: the timeouts are not read at all.
    {"power-off inactive reads no timeout", m::Create, 0, fullScreen, false, 600, 900, 2,
     ViewerAction::StartThenPassOn, "A"},
    // Equal timeouts: the saver starts (only a smaller power-off timeout refuses).
    {"equal timeouts start", m::Create, 0, fullScreen, true, 900, 900, 2,
     ViewerAction::StartThenPassOn, "APS"},
    {"power-off after the saver starts", m::Create, 0, fullScreen, true, 1200, 900, 2,
     ViewerAction::StartThenPassOn, "APS"},
    // WM_DESTROY stops the project; WM_CLOSE stops it and destroys the window.
    {"destroy stops", m::Destroy, 0, fullScreen, false, 0, 0, 2, ViewerAction::StopThenPassOn, ""},
    // A preview destroyed with another process's parent may get WM_NCDESTROY alone.
    {"a last WM_NCDESTROY stops too", m::NcDestroy, 0, preview, false, 0, 0, 2,
     ViewerAction::StopThenPassOn, ""},
    {"close closes", m::Close, 0, fullScreen, false, 0, 0, 2, ViewerAction::CloseThenPassOn, ""},
    {"preview close closes", m::Close, 0, preview, false, 0, 0, 1, ViewerAction::CloseThenPassOn,
     ""},
    // Where the shell may ask for a password, the close waits for its answer.
    {"win9x full-screen close verifies first", m::Close, 0, win9xFullScreen, false, 0, 0, 1,
     ViewerAction::VerifyThenClose, ""},
    // A close let in while a stop waits for the frame is left to that stop,
    // which destroys the window once the engine is gone; no password asked.
    {"close during a stop is left to it", m::Close, 0, fullScreenStopping, false, 0, 0, 2,
     ViewerAction::Swallow, ""},
    {"win9x close during a stop is left to it", m::Close, 0, win9xFullScreenStopping, false, 0, 0,
     1, ViewerAction::Swallow, ""},
    // The engine paints the whole window.
    {"erase background swallowed", m::EraseBackground, 0, fullScreen, false, 0, 0, 2,
     ViewerAction::Swallow, ""},
    // Do-not-quit swallows the seven input messages; without it they go on.
    {"do-not-quit key down", m::KeyDown, 0x20, fullScreenDoNotQuit, false, 0, 0, 2,
     ViewerAction::Swallow, ""},
    {"do-not-quit key up", m::KeyUp, 0x20, fullScreenDoNotQuit, false, 0, 0, 2,
     ViewerAction::Swallow, ""},
    {"do-not-quit sys key down", m::SysKeyDown, 0x12, fullScreenDoNotQuit, false, 0, 0, 2,
     ViewerAction::Swallow, ""},
    {"do-not-quit mouse move", m::MouseMove, 0, fullScreenDoNotQuit, false, 0, 0, 2,
     ViewerAction::Swallow, ""},
    {"do-not-quit left button", m::LButtonDown, 1, fullScreenDoNotQuit, false, 0, 0, 2,
     ViewerAction::Swallow, ""},
    {"do-not-quit right button", m::RButtonDown, 2, fullScreenDoNotQuit, false, 0, 0, 2,
     ViewerAction::Swallow, ""},
    {"do-not-quit middle button", m::MButtonDown, 16, fullScreenDoNotQuit, false, 0, 0, 2,
     ViewerAction::Swallow, ""},
    {"key down goes on", m::KeyDown, 0x20, fullScreen, false, 0, 0, 2, ViewerAction::PassOn, ""},
    {"left button goes on", m::LButtonDown, 1, fullScreen, false, 0, 0, 2, ViewerAction::PassOn,
     ""},
    {"mouse move goes on", m::MouseMove, 0, fullScreen, false, 0, 0, 2, ViewerAction::PassOn, ""},
    // Button-up, character and sys-key-up messages are never swallowed.
    {"do-not-quit leaves left button up", 0x0202, 0, fullScreenDoNotQuit, false, 0, 0, 2,
     ViewerAction::PassOn, ""},
    {"do-not-quit leaves WM_CHAR", 0x0102, 'a', fullScreenDoNotQuit, false, 0, 0, 2,
     ViewerAction::PassOn, ""},
    {"do-not-quit leaves WM_SYSKEYUP", 0x0105, 0x12, fullScreenDoNotQuit, false, 0, 0, 2,
     ViewerAction::PassOn, ""},
    {"do-not-quit leaves double click", 0x0203, 0, fullScreenDoNotQuit, false, 0, 0, 2,
     ViewerAction::PassOn, ""},
    // SC_MONITORPOWER: passed on on NT, swallowed on any other platform.
    {"monitor power on NT goes on", m::SysCommand, 0xF170, fullScreen, false, 0, 0, 2,
     ViewerAction::PassOn, "V"},
    {"monitor power on Win9x swallowed", m::SysCommand, 0xF170, fullScreen, false, 0, 0, 1,
     ViewerAction::Swallow, "V"},
    {"monitor power, unknown platform swallowed", m::SysCommand, 0xF170, fullScreen, false, 0, 0, 0,
     ViewerAction::Swallow, "V"},
    // Any other system command goes on without asking the platform.
    {"other sys command goes on", m::SysCommand, 0xF140, fullScreen, false, 0, 0, 1,
     ViewerAction::PassOn, ""},
    {"monitor power plus low bits is another command", m::SysCommand, 0xF171, fullScreen, false, 0,
     0, 1, ViewerAction::PassOn, ""},
    {"any other message goes on", 0x000F, 0, fullScreen, false, 0, 0, 2, ViewerAction::PassOn, ""},
};

TEST(ViewerPolicy, EachMessageGetsItsRule)
{
    for (const PolicyCase& c : policyCases) {
        RecordingPlatform platform;
        platform.powerOffActive = c.powerOffActive;
        platform.powerOffTimeout = c.powerOffTimeout;
        platform.screenSaveTimeout = c.screenSaveTimeout;
        platform.platformId = c.platformId;
        EXPECT_EQ(c.expected, DecideViewerAction(c.message, c.wParam, c.facts, platform)) << c.rule;
        EXPECT_EQ(c.expectedAsked, platform.asked) << c.rule;
    }
}

TEST(ViewerPolicy, EngineCallsForClosingMessagesAreMarkedSo)
{
    EXPECT_EQ(EngineCallKind::CloseAsked, EngineCallFor(m::Close));
    EXPECT_EQ(EngineCallKind::Stopping, EngineCallFor(m::Destroy));
    EXPECT_EQ(EngineCallKind::Stopping, EngineCallFor(m::NcDestroy));
    EXPECT_EQ(EngineCallKind::Ordinary, EngineCallFor(m::Paint));
    EXPECT_EQ(EngineCallKind::Ordinary, EngineCallFor(m::KeyDown));
}

struct WatchdogCase {
    const char* rule;
    EngineCallKind kind;
    int32_t insideFor;  // ms since the call began; -1 outside any call
    bool preview, parentAlive, inputKnown;
    int32_t inputAfter;   // the last input's tick minus the call's
    int32_t cursorMoved;  // cursor travel since the call, along x
    bool doNotQuit, password, ends;
};

constexpr auto ordinary = EngineCallKind::Ordinary;

const WatchdogCase watchdogCases[] = {
    {"outside a call nothing ends", ordinary, -1, false, false, true, 500, 50, false, false, false},
    {"input inside the limit waits", ordinary, 1000, false, false, true, 500, 0, false, false,
     false},
    {"input past the limit ends", ordinary, 1001, false, false, true, 500, 0, false, false, true},
    // The key that led to the call came at or before its tick.
    {"input at the call's tick is not after it", ordinary, 1001, false, false, true, 0, 0, false,
     false, false},
    {"input before the call", ordinary, 1001, false, false, true, -20, 0, false, false, false},
    {"no input time on Win9x", ordinary, 1001, false, false, false, 500, 0, false, false, false},
    {"the mouse moved far enough", ordinary, 1001, false, false, false, 0, 5, false, false, true},
    {"the mouse moved too little", ordinary, 1001, false, false, false, 0, 4, false, false, false},
    {"do-not-quit keeps it", ordinary, 1001, false, false, true, 500, 5, true, false, false},
    {"a password is never passed by", ordinary, 1001, false, false, true, 500, 5, false, true,
     false},
    {"full screen has no parent to lose", ordinary, 1001, false, false, true, 0, 0, false, false,
     false},
    {"a close without a password ends", EngineCallKind::CloseAsked, 1001, false, false, true, 0, 0,
     false, false, true},
    {"a close waits for the password", EngineCallKind::CloseAsked, 1001, false, false, true, 0, 0,
     false, true, false},
    // Destroy comes once every check has passed, the password included.
    {"a stop ends", EngineCallKind::Stopping, 1001, false, false, true, 0, 0, true, true, true},
    {"a stop inside the limit waits", EngineCallKind::Stopping, 1000, false, false, true, 0, 0,
     false, false, false},
    {"the preview's parent went", ordinary, 1001, true, false, true, 0, 0, false, false, true},
    // Do-not-quit keeps input from ending it, not the parent's going.
    {"the preview's parent went, do-not-quit set", ordinary, 1001, true, false, true, 0, 0, true,
     false, true},
    {"input never ends the preview", ordinary, 1001, true, true, true, 500, 5, false, false, false},
};

TEST(ViewerPolicy, WatchdogEndsOnlyWhenACloseWouldHaveHappened)
{
    for (const WatchdogCase& c : watchdogCases) {
        // Every call began just before the tick count wraps.
        const uint32_t since = 0xFFFFFF00u;
        WatchdogFacts facts = {};
        facts.insideCall = c.insideFor >= 0;
        facts.callSince = since;
        facts.callKind = c.kind;
        facts.now = since + static_cast<uint32_t>(c.insideFor < 0 ? 5000 : c.insideFor);
        facts.previewMode = c.preview;
        facts.parentAlive = c.parentAlive;
        facts.inputKnown = c.inputKnown;
        facts.lastInput = since + static_cast<uint32_t>(c.inputAfter);
        facts.cursorAtCall = {100, 100};
        facts.cursor = {100 + c.cursorMoved, 100};
        facts.doNotQuit = c.doNotQuit;
        facts.passwordInForce = c.password;
        EXPECT_EQ(c.ends, WatchdogEndsProcess(facts)) << c.rule;
    }
}

}  // namespace
