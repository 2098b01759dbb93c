// Decision tables of the saver window's close rules: one row per rule.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "screensaver/CloseRules.h"

// Found by argument lookup: CloseState lives in the global namespace.
bool operator==(const CloseState& a, const CloseState& b)
{
    return a.closeApproved == b.closeApproved && a.verifyInProgress == b.verifyInProgress &&
           a.lastVerifyTick == b.lastVerifyTick && a.acLineStatus == b.acLineStatus &&
           a.lastCursorPos.x == b.lastCursorPos.x && a.lastCursorPos.y == b.lastCursorPos.y &&
           a.travelPending == b.travelPending && a.screen.left == b.screen.left &&
           a.screen.top == b.screen.top && a.screen.width == b.screen.width &&
           a.screen.height == b.screen.height;
}

std::ostream& operator<<(std::ostream& out, const CloseState& s)
{
    return out << "{approved " << s.closeApproved << ", verifying " << s.verifyInProgress
               << ", tick " << s.lastVerifyTick << ", ac " << int(s.acLineStatus) << ", ref ("
               << s.lastCursorPos.x << "," << s.lastCursorPos.y << "), pending " << s.travelPending
               << ", screen " << s.screen.left << "," << s.screen.top << "," << s.screen.width
               << "x" << s.screen.height << "}";
}

namespace {

using namespace SaverMsg;

constexpr uint32_t autoPlayNumber = 0xC0DE;

// The contexts and states the rows start from.
CloseContext FullScreen() { return CloseContext{false, false, false, 0}; }
CloseContext Preview() { return CloseContext{true, false, false, 0}; }
CloseContext Win9x(bool verifier) { return CloseContext{false, true, verifier, autoPlayNumber}; }
CloseContext Win9xPreview() { return CloseContext{true, true, false, autoPlayNumber}; }

// One 1024x768 monitor, and what a second one left of it makes of it.
const ScreenRect onePrimary = {0, 0, 1024, 768};
const ScreenRect secondLeft = {-800, 0, 1824, 768};

CloseState Running()
{
    CloseState s;
    s.lastCursorPos = {100, 200};
    s.acLineStatus = 1;
    s.screen = onePrimary;
    return s;
}
CloseState Approved()
{
    CloseState s = Running();
    s.closeApproved = 1;
    return s;
}
CloseState Verifying()
{
    CloseState s = Running();
    s.verifyInProgress = true;
    return s;
}
CloseState WithReference(int32_t x, int32_t y)
{
    CloseState s = Running();
    s.lastCursorPos = {x, y};
    return s;
}
// A closing travel to (x, y) waiting on its timer.
CloseState Pending(int32_t x, int32_t y)
{
    CloseState s = WithReference(x, y);
    s.travelPending = true;
    return s;
}
// The state once the window covers `screen`, travel measured from `mark`.
CloseState Covering(ScreenRect screen, int32_t x, int32_t y)
{
    CloseState s = WithReference(x, y);
    s.screen = screen;
    return s;
}
CloseState WithAc(uint8_t status)
{
    CloseState s = Running();
    s.acLineStatus = status;
    return s;
}

SaverEvent Event(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0)
{
    SaverEvent e;
    e.message = message;
    e.wParam = wParam;
    e.lParam = lParam;
    e.cursor = {100, 200};  // where the reference of Running() is
    e.screen = onePrimary;  // the screen of Running()
    return e;
}
SaverEvent MoveTo(int32_t x, int32_t y)
{
    SaverEvent e = Event(MouseMove);
    e.cursor = {x, y};
    return e;
}
// A message read on another virtual screen, the cursor moved by the change.
SaverEvent OnScreen(uint32_t message, ScreenRect screen, int32_t x, int32_t y, uintptr_t wParam = 0)
{
    SaverEvent e = Event(message, wParam);
    e.screen = screen;
    e.cursor = {x, y};
    return e;
}
SaverEvent TravelTimer() { return Event(Timer, travelTimerId); }
SaverEvent PowerStatus(uint8_t ac)
{
    SaverEvent e = Event(PowerBroadcast, PbtPowerStatusChange);
    e.acLineStatus = ac;
    return e;
}

struct Row {
    const char* rule;
    CloseContext context;
    CloseState state;
    SaverEvent event;
    Outcome outcome;
    bool postClose;
    intptr_t result = 0;  // checked with Outcome::Answer
    bool hideCursor = false;
    bool yield = false;
    std::optional<CloseState> next{};  // absent: the state stays as it was
    bool coverScreen = false;
    bool armTravelTimer = false;
};

void Check(const Row& row, const Decision& d)
{
    SCOPED_TRACE(row.rule);
    EXPECT_EQ(int(row.outcome), int(d.outcome));
    EXPECT_EQ(row.postClose, d.postClose);
    if (row.outcome == Outcome::Answer) {
        EXPECT_EQ(row.result, d.result);
    }
    EXPECT_EQ(row.hideCursor, d.hideCursor);
    EXPECT_EQ(row.yield, d.yield);
    EXPECT_EQ(row.coverScreen, d.coverScreen);
    EXPECT_EQ(row.armTravelTimer, d.armTravelTimer);
    EXPECT_EQ(row.next.value_or(row.state), d.next);
}

const Outcome Default = Outcome::DefaultProcedure;

TEST(CloseRules, DefaultProcedureTable)
{
    const std::vector<Row> rows = {
        // Key presses and the three button presses close a full-screen saver.
        {"key press closes", FullScreen(), Running(), Event(KeyDown, 'A'), Default, true},
        {"system key press closes", FullScreen(), Running(), Event(SysKeyDown, 0x12), Default,
         true},
        {"left click closes", FullScreen(), Running(), Event(LButtonDown), Default, true},
        {"right click closes", FullScreen(), Running(), Event(RButtonDown), Default, true},
        {"middle click closes", FullScreen(), Running(), Event(MButtonDown), Default, true},
        // Releases, characters, double clicks, wheel, extra buttons, activation: no rule.
        {"key release never closes", FullScreen(), Running(), Event(KeyUp), Default, false},
        {"character never closes", FullScreen(), Running(), Event(0x0102), Default, false},
        {"system key release never closes", FullScreen(), Running(), Event(0x0105), Default, false},
        {"button release never closes", FullScreen(), Running(), Event(0x0202), Default, false},
        {"double click never closes", FullScreen(), Running(), Event(0x0203), Default, false},
        {"wheel never closes", FullScreen(), Running(), Event(0x020A), Default, false},
        {"extra button never closes", FullScreen(), Running(), Event(0x020B), Default, false},
        {"WM_ACTIVATE never closes", FullScreen(), Running(), Event(0x0006, 0), Default, false},
        {"WM_NCACTIVATE never closes", FullScreen(), Running(), Event(0x0086, 0), Default, false},
        // Mouse travel abs(dx) + abs(dy) above 4 moves the reference and waits
        // for its timer; a further move or the timer closes.
        {"travel dx 4 stays", FullScreen(), Running(), MoveTo(104, 200), Default, false},
        {"travel dx 2 dy 2 stays", FullScreen(), Running(), MoveTo(102, 202), Default, false},
        {"travel dx -2 dy -2 stays", FullScreen(), Running(), MoveTo(98, 198), Default, false},
        {"travel dx 5 waits", FullScreen(), Running(), MoveTo(105, 200), Default, false, 0, false,
         false, Pending(105, 200), false, true},
        {"travel dx -3 dy 2 waits", FullScreen(), Running(), MoveTo(97, 202), Default, false, 0,
         false, false, Pending(97, 202), false, true},
        {"travel across the origin counts both sides", FullScreen(), WithReference(-2, 0),
         MoveTo(3, 0), Default, false, 0, false, false, Pending(3, 0), false, true},
        {"waiting: a second travel of 5 closes", FullScreen(), Pending(105, 200), MoveTo(110, 200),
         Default, true, 0, false, false, WithReference(110, 200)},
        {"waiting: a move of 1 stays (a display change may move twice)", FullScreen(),
         Pending(105, 200), MoveTo(106, 200), Default, false},
        {"waiting: the travel timer closes", FullScreen(), Pending(105, 200), TravelTimer(),
         Default, true, 0, false, false, WithReference(105, 200)},
        {"waiting: another timer stays", FullScreen(), Pending(105, 200), Event(Timer, 1), Default,
         false},
        {"the travel timer with nothing waiting stays", FullScreen(), Running(), TravelTimer(),
         Default, false},
        // A display change moves the cursor before WM_DISPLAYCHANGE comes: a
        // move on another virtual screen covers it and is no travel.
        {"move on a changed screen follows it, no close", FullScreen(), Running(),
         OnScreen(MouseMove, secondLeft, 0, 300), Default, false, 0, false, false,
         Covering(secondLeft, 0, 300), true},
        {"preview move on a changed screen stays", Preview(), Running(),
         OnScreen(MouseMove, secondLeft, 0, 300), Default, false},
        {"waiting: the timer on a changed screen follows it, no close", FullScreen(),
         Pending(105, 200), OnScreen(Timer, secondLeft, 0, 300, travelTimerId), Default, false, 0,
         false, false, Covering(secondLeft, 0, 300), true},
        // Activation: only losing it closes.
        {"WM_ACTIVATEAPP 1 stays", FullScreen(), Running(), Event(ActivateApp, 1), Default, false},
        {"WM_ACTIVATEAPP 0 closes", FullScreen(), Running(), Event(ActivateApp, 0), Default, true},
        // Being shown hides the cursor; WM_SETCURSOR hides it and answers 1 itself.
        {"shown hides the cursor", FullScreen(), Running(), Event(ShowWindow, 1), Default, false, 0,
         true},
        {"hidden leaves the cursor", FullScreen(), Running(), Event(ShowWindow, 0), Default, false},
        {"WM_SETCURSOR answers 1", FullScreen(), Running(), Event(SetCursor), Outcome::Answer,
         false, 1, true},
        // WM_POWER closes only on a critical resume.
        {"WM_POWER critical resume closes", FullScreen(), Running(),
         Event(Power, PwrCriticalResume), Default, true},
        {"WM_POWER other event stays", FullScreen(), Running(), Event(Power, 1), Default, false},
        // Power broadcasts: queries and suspends close.
        {"PBT_APMQUERYSUSPEND closes", FullScreen(), Running(), Event(PowerBroadcast, 0), Default,
         true},
        {"PBT_APMQUERYSTANDBY closes", FullScreen(), Running(), Event(PowerBroadcast, 1), Default,
         true},
        {"PBT_APMQUERYSUSPENDFAILED closes", FullScreen(), Running(), Event(PowerBroadcast, 2),
         Default, true},
        {"PBT_APMQUERYSTANDBYFAILED closes", FullScreen(), Running(), Event(PowerBroadcast, 3),
         Default, true},
        {"PBT_APMSUSPEND closes", FullScreen(), Running(), Event(PowerBroadcast, 4), Default, true},
        {"PBT_APMSTANDBY closes", FullScreen(), Running(), Event(PowerBroadcast, 5), Default, true},
        // Resumes close unless they resume from a failure (bit 0 of lParam).
        {"PBT_APMRESUMECRITICAL closes", FullScreen(), Running(),
         Event(PowerBroadcast, PbtResumeCritical, 0), Default, true},
        {"PBT_APMRESUMESUSPEND lParam 0 closes", FullScreen(), Running(),
         Event(PowerBroadcast, PbtResumeSuspend, 0), Default, true},
        {"PBT_APMRESUMESUSPEND lParam 1 stays", FullScreen(), Running(),
         Event(PowerBroadcast, PbtResumeSuspend, 1), Default, false},
        {"PBT_APMRESUMESUSPEND lParam 2 closes (bit 0 clear)", FullScreen(), Running(),
         Event(PowerBroadcast, PbtResumeSuspend, 2), Default, true},
        {"PBT_APMRESUMESTANDBY lParam 1 stays", FullScreen(), Running(),
         Event(PowerBroadcast, PbtResumeStandby, 1), Default, false},
        {"PBT_APMRESUMEAUTOMATIC lParam 0 closes", FullScreen(), Running(),
         Event(PowerBroadcast, PbtResumeAutomatic, 0), Default, true},
        {"PBT_APMRESUMEAUTOMATIC lParam 1 stays", FullScreen(), Running(),
         Event(PowerBroadcast, PbtResumeAutomatic, 1), Default, false},
        // Battery low, OEM events and unknown events close.
        {"PBT_APMBATTERYLOW closes", FullScreen(), Running(), Event(PowerBroadcast, 9), Default,
         true},
        {"PBT_APMOEMEVENT closes", FullScreen(), Running(), Event(PowerBroadcast, 11), Default,
         true},
        {"unknown power event closes", FullScreen(), Running(), Event(PowerBroadcast, 0x8013),
         Default, true},
        // Power status change: closes only when the AC status changed; always stored.
        {"AC status unchanged stays", FullScreen(), WithAc(1), PowerStatus(1), Default, false},
        {"AC status changed closes", FullScreen(), WithAc(1), PowerStatus(0), Default, true, 0,
         false, false, WithAc(0)},
        {"AC status from no reading closes", FullScreen(), WithAc(noAcReading), PowerStatus(1),
         Default, true, 0, false, false, WithAc(1)},
        {"AC status lost compares as 255", FullScreen(), WithAc(1), PowerStatus(noAcReading),
         Default, true, 0, false, false, WithAc(noAcReading)},
        // Preview: nothing closes, the cursor is left alone.
        {"preview key press stays", Preview(), Running(), Event(KeyDown, 'A'), Default, false},
        {"preview click stays", Preview(), Running(), Event(LButtonDown), Default, false},
        {"preview travel stays", Preview(), Running(), MoveTo(300, 300), Default, false},
        {"preview activation loss stays", Preview(), Running(), Event(ActivateApp, 0), Default,
         false},
        {"preview suspend stays", Preview(), Running(), Event(PowerBroadcast, 4), Default, false},
        {"preview AC change stays, not stored", Preview(), WithAc(1), PowerStatus(0), Default,
         false},
        {"preview WM_SETCURSOR goes to the default", Preview(), Running(), Event(SetCursor),
         Default, false},
        {"preview WM_CLOSE goes ahead", Preview(), Running(), Event(Close), Default, false},
        // Approved: the rules stop filtering.
        {"approved key press goes to the default", FullScreen(), Approved(), Event(KeyDown),
         Default, false},
        {"approved suspend goes to the default", Win9x(true), Approved(), Event(PowerBroadcast, 4),
         Default, false},
        {"approved WM_CLOSE goes ahead", Win9x(true), Approved(), Event(Close), Default, false},
        // WM_CLOSE and WM_APP: the password check exists only on Win9x.
        {"WM_CLOSE on NT goes ahead", FullScreen(), Running(), Event(Close), Default, false},
        {"WM_CLOSE on Win9x is verified", Win9x(true), Running(), Event(Close),
         Outcome::VerifyClose, false},
        {"WM_CLOSE on Win9x without verifier is verified too", Win9x(false), Running(),
         Event(Close), Outcome::VerifyClose, false},
        {"nested WM_CLOSE while verifying is verified (and refused there)", Win9x(true),
         Verifying(), Event(Close), Outcome::VerifyClose, false},
        {"WM_CLOSE in a Win9x preview goes ahead", Win9xPreview(), Running(), Event(Close), Default,
         false},
        {"WM_APP on Win9x asks the verifier", Win9x(true), Running(), Event(App),
         Outcome::AskVerifier, false},
        {"WM_APP on Win9x without verifier answers 1", Win9x(false), Running(), Event(App),
         Outcome::Answer, false, 1},
        {"WM_APP on NT goes to the default", FullScreen(), Running(), Event(App), Default, false},
        // While the password dialog is up, input does not close.
        {"verifying: key press stays", Win9x(true), Verifying(), Event(KeyDown), Default, false},
        {"verifying: travel stays", Win9x(true), Verifying(), MoveTo(300, 300), Default, false},
        {"verifying: suspend stays", Win9x(true), Verifying(), Event(PowerBroadcast, 4), Default,
         false},
        {"verifying: WM_SETCURSOR goes to the default", Win9x(true), Verifying(), Event(SetCursor),
         Default, false},
        // The AutoPlay query: close, answer 1 with a verifier, 0 without, in every state.
        {"AutoPlay with verifier answers 1", Win9x(true), Running(), Event(autoPlayNumber),
         Outcome::Answer, true, 1},
        {"AutoPlay without verifier answers 0", Win9x(false), Running(), Event(autoPlayNumber),
         Outcome::Answer, true, 0},
        {"AutoPlay in preview answers 0 and closes", Win9xPreview(), Running(),
         Event(autoPlayNumber), Outcome::Answer, true, 0},
        {"AutoPlay once approved still closes", Win9x(true), Approved(), Event(autoPlayNumber),
         Outcome::Answer, true, 1},
        {"AutoPlay while verifying still closes", Win9x(true), Verifying(), Event(autoPlayNumber),
         Outcome::Answer, true, 1},
        {"unregistered AutoPlay is nothing special", FullScreen(), Running(), Event(autoPlayNumber),
         Default, false},
        {"no registration never matches message 0", FullScreen(), Running(), Event(0), Default,
         false},
    };
    for (const Row& row : rows) Check(row, DecideSaverDefault(row.context, row.state, row.event));
}

TEST(CloseRules, SmallMovesAddUpAgainstTheSameReference)
{
    CloseState state = Running();
    Decision first = DecideSaverDefault(FullScreen(), state, MoveTo(103, 200));
    EXPECT_FALSE(first.postClose);
    Decision second = DecideSaverDefault(FullScreen(), first.next, MoveTo(106, 200));
    EXPECT_FALSE(second.postClose);
    EXPECT_EQ(Pending(106, 200), second.next);
    Decision timer = DecideSaverDefault(FullScreen(), second.next, TravelTimer());
    EXPECT_TRUE(timer.postClose && timer.killTravelTimer);
}

TEST(CloseRules, TheTravelTimerEndsInEveryState)
{
    EXPECT_TRUE(DecideSaverDefault(Preview(), Pending(1, 1), TravelTimer()).killTravelTimer);
    EXPECT_TRUE(DecideSaverDefault(Win9x(true), Verifying(), TravelTimer()).killTravelTimer);
    EXPECT_FALSE(DecideSaverDefault(FullScreen(), Pending(1, 1), Event(Timer, 1)).killTravelTimer);
}

// The order measured when the primary shrinks under a running saver: the
// cursor jumps with the screen, WM_MOUSEMOVE, then WM_DISPLAYCHANGE; later
// travel counts from the new place, and a travel past the threshold waits
// for its timer.
TEST(CloseRules, DisplayChangeIsNoTravel)
{
    const ScreenRect smaller = {-800, 0, 1600, 600};
    CloseState state = Covering(secondLeft, -500, 300);
    Decision moved = DecideSaverDefault(FullScreen(), state, OnScreen(MouseMove, smaller, 0, 300));
    Decision changed = DecideSaverWindowMessage(FullScreen(), moved.next,
                                                OnScreen(DisplayChange, smaller, 0, 300));
    Decision small =
        DecideSaverDefault(FullScreen(), changed.next, OnScreen(MouseMove, smaller, 3, 300));
    Decision large =
        DecideSaverDefault(FullScreen(), small.next, OnScreen(MouseMove, smaller, 5, 300));
    Decision timer = DecideSaverDefault(FullScreen(), large.next,
                                        OnScreen(Timer, smaller, 5, 300, travelTimerId));
    EXPECT_FALSE(moved.postClose || changed.postClose || small.postClose || large.postClose);
    EXPECT_TRUE(large.armTravelTimer && timer.postClose);
    EXPECT_EQ(Covering(smaller, 5, 300), timer.next);
}

// Under Wine the move may come while the old screen is still read: the
// travel waits, and the display change that comes meanwhile explains it.
TEST(CloseRules, DisplayChangeWhileTravelWaits)
{
    const ScreenRect smaller = {-800, 0, 1600, 600};
    Decision moved = DecideSaverDefault(FullScreen(), Covering(secondLeft, -500, 300),
                                        OnScreen(MouseMove, secondLeft, 0, 300));
    Decision changed = DecideSaverWindowMessage(FullScreen(), moved.next,
                                                OnScreen(DisplayChange, smaller, 0, 300));
    Decision timer = DecideSaverDefault(FullScreen(), changed.next,
                                        OnScreen(Timer, smaller, 0, 300, travelTimerId));
    EXPECT_TRUE(moved.armTravelTimer);
    EXPECT_FALSE(moved.postClose || changed.postClose || timer.postClose);
    EXPECT_EQ(Covering(smaller, 0, 300), timer.next);
}

TEST(CloseRules, AcStatusChangeClosesOnceForTheSameNewStatus)
{
    Decision changed = DecideSaverDefault(FullScreen(), WithAc(1), PowerStatus(0));
    EXPECT_TRUE(changed.postClose);
    Decision again = DecideSaverDefault(FullScreen(), changed.next, PowerStatus(0));
    EXPECT_FALSE(again.postClose);
}

TEST(CloseRules, SaverWindowProcedureTable)
{
    const std::vector<Row> rows = {
        // The title never changes.
        {"WM_SETTEXT answers 0", FullScreen(), Running(), Event(SetText), Outcome::Answer, false,
         0},
        // Creation and paint hide the cursor in full screen only.
        {"create hides the cursor", FullScreen(), Running(), Event(Create), Outcome::Forward, false,
         0, true},
        {"preview create keeps the cursor", Preview(), Running(), Event(Create), Outcome::Forward,
         false},
        {"paint hides the cursor", FullScreen(), Running(), Event(Paint), Outcome::Forward, false,
         0, true},
        {"preview paint keeps the cursor", Preview(), Running(), Event(Paint), Outcome::Forward,
         false},
        {"approved paint goes to DefWindowProcA", Win9x(true), Approved(), Event(Paint), Default,
         false},
        // Help and context menu: forwarded in full screen, handed to the parent in preview.
        {"full-screen help forwarded", FullScreen(), Running(), Event(Help), Outcome::Forward,
         false},
        {"full-screen context menu forwarded", FullScreen(), Running(), Event(ContextMenu),
         Outcome::Forward, false},
        {"preview help to the parent", Preview(), Running(), Event(Help), Outcome::PostToParent,
         false},
        {"preview context menu to the parent", Preview(), Running(), Event(ContextMenu),
         Outcome::PostToParent, false},
        // System commands in full screen, compared as a whole.
        {"SC_SCREENSAVE answers 0", FullScreen(), Running(), Event(SysCommand, ScScreenSave),
         Outcome::Answer, false, 0},
        {"SC_NEXTWINDOW answers 0", FullScreen(), Running(), Event(SysCommand, ScNextWindow),
         Outcome::Answer, false, 0},
        {"SC_PREVWINDOW answers 0", FullScreen(), Running(), Event(SysCommand, ScPrevWindow),
         Outcome::Answer, false, 0},
        {"SC_MONITORPOWER closes and is forwarded", FullScreen(), Running(),
         Event(SysCommand, ScMonitorPower, 2), Outcome::Forward, true},
        {"SC_SCREENSAVE with low bits forwarded", FullScreen(), Running(),
         Event(SysCommand, ScScreenSave | 1), Outcome::Forward, false},
        {"SC_MONITORPOWER with low bits forwarded, no close", FullScreen(), Running(),
         Event(SysCommand, ScMonitorPower | 2), Outcome::Forward, false},
        {"other system command forwarded", FullScreen(), Running(), Event(SysCommand, 0xF060),
         Outcome::Forward, false},
        {"preview SC_SCREENSAVE forwarded", Preview(), Running(), Event(SysCommand, ScScreenSave),
         Outcome::Forward, false},
        {"preview SC_MONITORPOWER forwarded, no close", Preview(), Running(),
         Event(SysCommand, ScMonitorPower), Outcome::Forward, false},
        // Timers yield the time slice; once approved they are swallowed.
        {"timer yields and is forwarded", FullScreen(), Running(), Event(Timer, 1),
         Outcome::Forward, false, 0, false, true},
        {"approved timer answers 0", Win9x(true), Approved(), Event(Timer, 1), Outcome::Answer,
         false, 0},
        // Once approved, input goes straight to DefWindowProcA.
        {"approved key press to DefWindowProcA", Win9x(true), Approved(), Event(KeyDown), Default,
         false},
        {"approved system key to DefWindowProcA", Win9x(true), Approved(), Event(SysKeyDown),
         Default, false},
        {"approved move to DefWindowProcA", Win9x(true), Approved(), MoveTo(0, 0), Default, false},
        {"approved clicks to DefWindowProcA", Win9x(true), Approved(), Event(MButtonDown), Default,
         false},
        {"approved key release still forwarded", Win9x(true), Approved(), Event(KeyUp),
         Outcome::Forward, false},
        {"key press forwarded while running", FullScreen(), Running(), Event(KeyDown),
         Outcome::Forward, false},
        // Close, the private message and power events are the viewer's first.
        {"WM_CLOSE forwarded", Win9x(true), Running(), Event(Close), Outcome::Forward, false},
        {"WM_APP forwarded", Win9x(true), Running(), Event(App), Outcome::Forward, false},
        {"power broadcast forwarded", FullScreen(), Running(), Event(PowerBroadcast, 4),
         Outcome::Forward, false},
        // A display change: the window covers the new virtual screen, travel
        // is measured afresh, the viewer sees it; a preview is its parent's.
        {"display change covers the new screen", FullScreen(), Running(),
         OnScreen(DisplayChange, secondLeft, -500, 300), Outcome::Forward, false, 0, false, false,
         Covering(secondLeft, -500, 300), true},
        {"display change to the same screen covers it again", FullScreen(), Running(),
         OnScreen(DisplayChange, onePrimary, 100, 200), Outcome::Forward, false, 0, false, false,
         Running(), true},
        {"preview display change forwarded only", Preview(), Running(),
         OnScreen(DisplayChange, secondLeft, -500, 300), Outcome::Forward, false},
    };
    for (const Row& row : rows)
        Check(row, DecideSaverWindowMessage(row.context, row.state, row.event));
}

TEST(CloseRules, VerifyGateTable)
{
    struct GateRow {
        const char* rule;
        CloseState state;
        bool verifierLoaded;
        uint32_t now;
        VerifyGate gate;
    };
    auto verifiedAt = [](uint32_t tick) {
        CloseState s = Running();
        s.lastVerifyTick = tick;
        return s;
    };
    const std::vector<GateRow> rows = {
        {"a verification in progress refuses a nested close", Verifying(), true, 5000,
         VerifyGate::Refuse},
        {"in progress refuses even without a verifier", Verifying(), false, 5000,
         VerifyGate::Refuse},
        {"no verifier approves at once", Running(), false, 5000, VerifyGate::Approve},
        {"no verifier approves even within the quiet time", verifiedAt(4990), false, 5000,
         VerifyGate::Approve},
        {"never verified asks", Running(), true, 5, VerifyGate::Ask},
        {"199 ms after the last verification is dropped", verifiedAt(10000), true, 10199,
         VerifyGate::Refuse},
        {"200 ms after asks again", verifiedAt(10000), true, 10200, VerifyGate::Ask},
        {"0 ms after is dropped", verifiedAt(10000), true, 10000, VerifyGate::Refuse},
        {"199 ms across the tick wrap is dropped", verifiedAt(0xFFFFFFF0u), true, 0xB7,
         VerifyGate::Refuse},
        {"200 ms across the tick wrap asks", verifiedAt(0xFFFFFFFEu), true, 0xC6, VerifyGate::Ask},
    };
    for (const GateRow& row : rows) {
        SCOPED_TRACE(row.rule);
        EXPECT_EQ(int(row.gate), int(DecideVerifyGate(row.state, row.verifierLoaded, row.now)));
    }
}

TEST(CloseRules, FinishVerifyRecordsTheAnswerAndItsEnd)
{
    struct FinishRow {
        const char* rule;
        uint32_t verifierResult;
        uint32_t approved;
    };
    const std::vector<FinishRow> rows = {
        {"refused: not approved", 0, 0},
        {"accepted: approved", 1, 1},
        {"any non-zero answer is kept as given", 7, 7},
    };
    for (const FinishRow& row : rows) {
        SCOPED_TRACE(row.rule);
        CloseState next = FinishVerify(Verifying(), row.verifierResult, 4242);
        CloseState expected = Running();
        expected.closeApproved = row.approved;
        expected.lastVerifyTick = 4242;
        EXPECT_EQ(expected, next);
    }
}

}  // namespace
