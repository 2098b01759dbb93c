// Fuzzes the saver window's close rules with random message sequences. The
// bytes describe one run (platform, preview or full screen, password
// verifier, AutoPlay message) and then its messages; each message passes the
// two decisions in the order the window's procedures apply them, with the
// state carried from one to the next, and the password check on close is
// played out as the shell does it, nested messages included. Every decision
// is compared with what the rules say of that message.
//
// Encoding: flags byte (1 preview, 2 Win9x, 4 verifier loaded, 8 AutoPlay
// registered), AutoPlay number (word, 0xC000 added), AC reading at start,
// first tick (32 bits), first cursor (two signed bytes); then per message:
// kind byte (low 5 bits pick the message, bit 5 = the viewer consumes it,
// bits 6-7 say how wParam is given), wParam, lParam byte, cursor move (two
// signed bytes; -128 in the first takes two 32-bit coordinates), AC reading,
// milliseconds since the previous message (word). When the password verifier
// is asked: the number of messages that arrive while its dialog is up (low
// two bits), those messages, then its answer byte.
#include <string.h>

#include <vector>

#include "screensaver/CloseRules.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using namespace SaverMsg;

const uint32_t KeyUp = 0x0101, Char = 0x0102, Activate = 0x0006, NcActivate = 0x0086,
               LButtonUp = 0x0202, LButtonDblClk = 0x0203, MouseWheel = 0x020A,
               XButtonDown = 0x020B;
const uint32_t autoPlayMarker = 0xFFFFFFFFu;  // stands for the run's AutoPlay number
const uint32_t rawMarker = 0xFFFFFFFEu;       // the number follows in the input

const uint32_t messages[32] = {
    KeyDown,        SysKeyDown,  KeyUp,          Char,           MouseMove,  MouseMove,
    MouseMove,      LButtonDown, RButtonDown,    MButtonDown,    LButtonUp,  LButtonDblClk,
    MouseWheel,     XButtonDown, ActivateApp,    Activate,       NcActivate, ShowWindow,
    SetCursor,      Power,       PowerBroadcast, PowerBroadcast, SysCommand, Timer,
    Paint,          SetText,     Help,           ContextMenu,    Close,      App,
    autoPlayMarker, rawMarker};

const uintptr_t interestingWParams[] = {0,
                                        1,
                                        2,
                                        3,
                                        4,
                                        5,
                                        6,
                                        7,
                                        8,
                                        9,
                                        10,
                                        11,
                                        12,
                                        17,
                                        18,
                                        19,
                                        travelTimerId,
                                        ScNextWindow,
                                        ScPrevWindow,
                                        ScScreenSave,
                                        ScMonitorPower,
                                        ScMonitorPower + 1,
                                        ScMonitorPower + 2,
                                        ScScreenSave + 1,
                                        ScNextWindow + 0xF,
                                        0xF060,
                                        0xFFFFFFFFu};

const int deepestNesting = 3;
const size_t mostMessages = 2000;

bool SameState(const CloseState& a, const CloseState& b)
{
    return a.closeApproved == b.closeApproved && a.verifyInProgress == b.verifyInProgress &&
           a.lastVerifyTick == b.lastVerifyTick && a.acLineStatus == b.acLineStatus &&
           a.lastCursorPos.x == b.lastCursorPos.x && a.lastCursorPos.y == b.lastCursorPos.y;
}

// Whether the close rules post a close for this message, listed here on its
// own rather than derived from the code: the AutoPlay query in every state; otherwise only a running
// full-screen saver (not approved, no password dialog up) closes, and only on
// key and button presses, a second travel past the threshold while the
// first waits, that travel's timer, loss of activation, a critical resume and the power
// events of the power table. (The runs never change the screen.)
enum class Expect { No, Yes, Either };

Expect TravelPastThreshold(const CloseState& before, const SaverEvent& e);

Expect ExpectedClose(const CloseContext& context, const CloseState& before, const SaverEvent& e)
{
    if (context.autoPlayQueryMessage != 0 && e.message == context.autoPlayQueryMessage)
        return Expect::Yes;
    if (context.previewMode || before.closeApproved || before.verifyInProgress) return Expect::No;
    auto yes = [](bool closes) { return closes ? Expect::Yes : Expect::No; };
    switch (e.message) {
    case KeyDown:
    case SysKeyDown:
    case LButtonDown:
    case RButtonDown:
    case MButtonDown: return Expect::Yes;
    case MouseMove: return before.travelPending ? TravelPastThreshold(before, e) : Expect::No;
    case Timer: return yes(e.wParam == travelTimerId && before.travelPending);
    case ActivateApp: return yes(e.wParam == 0);
    case Power: return yes(e.wParam == 3);
    case PowerBroadcast:
        if (e.wParam <= 5) return Expect::Yes;
        if (e.wParam == 6 || e.wParam == 7 || e.wParam == 8 || e.wParam == 18)
            return yes((e.lParam & 1) == 0);
        if (e.wParam == 10) return yes(e.acLineStatus != before.acLineStatus);
        return Expect::Yes;
    default: return Expect::No;
    }
}

// Whether a move travels past the threshold from the reference point.
Expect TravelPastThreshold(const CloseState& before, const SaverEvent& e)
{
    int64_t dx = int64_t(e.cursor.x) - before.lastCursorPos.x;
    int64_t dy = int64_t(e.cursor.y) - before.lastCursorPos.y;
    if (dx < 0) dx = -dx;
    if (dy < 0) dy = -dy;
    // Beyond 2^31 the 32-bit difference itself wraps; the rules leave
    // such jumps to the arithmetic of the platform.
    if (dx >= (int64_t(1) << 31) || dy >= (int64_t(1) << 31)) return Expect::Either;
    return dx + dy > mouseMoveThreshold ? Expect::Yes : Expect::No;
}

bool IsInputMessage(uint32_t message)
{
    return message == KeyDown || message == SysKeyDown || message == MouseMove ||
           message == LButtonDown || message == RButtonDown || message == MButtonDown;
}

class SaverRun {
public:
    SaverRun(const uint8_t* data, size_t size) : in(data, size) {}

    // Plays the whole run; returns a digest of every decision taken.
    uint64_t Play()
    {
        uint8_t flags = in.Byte();
        context.previewMode = flags & 1;
        context.win9xPlatform = flags & 2;
        // The password library is loaded only by a full-screen Win9x saver;
        // the AutoPlay message is registered only on Win9x.
        context.verifierLoaded = (flags & 4) && context.win9xPlatform && !context.previewMode;
        uint16_t autoPlay = in.Word();
        if ((flags & 8) && context.win9xPlatform)
            context.autoPlayQueryMessage = 0xC000u | (autoPlay & 0x3FFF);
        uint8_t ac = in.Byte();
        if (!context.previewMode) state.acLineStatus = ac;
        tick = in.Number();
        cursor.x = static_cast<int8_t>(in.Byte());
        cursor.y = static_cast<int8_t>(in.Byte());

        SaverEvent create;
        create.message = Create;
        create.cursor = cursor;
        Dispatch(create, false, 0);
        for (size_t n = 0; n < mostMessages && !in.Empty(); ++n) {
            bool consumed = false;
            SaverEvent e = NextEvent(consumed);
            Dispatch(e, consumed, 0);
        }
        Mix(state.closeApproved);
        Mix(state.lastCursorPos.x);
        Mix(state.lastCursorPos.y);
        return digest;
    }

private:
    SaverEvent NextEvent(bool& consumed)
    {
        SaverEvent e;
        uint8_t kind = in.Byte();
        e.message = messages[kind & 31];
        if (e.message == autoPlayMarker) e.message = context.autoPlayQueryMessage;
        if (e.message == rawMarker) e.message = in.Word();
        // The verifier's answer always comes back through the whole chain.
        consumed = (kind & 0x20) && e.message != App;
        switch (kind >> 6) {
        case 0: e.wParam = 0; break;
        case 1: e.wParam = in.Byte(); break;
        case 2:
            e.wParam = interestingWParams[in.Byte() %
                                          (sizeof interestingWParams / sizeof *interestingWParams)];
            break;
        default: e.wParam = in.Number(); break;
        }
        e.lParam = static_cast<int8_t>(in.Byte());
        int8_t dx = static_cast<int8_t>(in.Byte());
        int8_t dy = static_cast<int8_t>(in.Byte());
        if (dx == -128) {
            cursor.x = static_cast<int32_t>(in.Number());
            cursor.y = static_cast<int32_t>(in.Number());
        } else {
            cursor.x = static_cast<int32_t>(static_cast<uint32_t>(cursor.x) +
                                            static_cast<uint32_t>(int32_t(dx)));
            cursor.y = static_cast<int32_t>(static_cast<uint32_t>(cursor.y) +
                                            static_cast<uint32_t>(int32_t(dy)));
        }
        e.cursor = cursor;
        e.acLineStatus = in.Byte();
        tick += in.Word();
        return e;
    }

    void Mix(uint64_t value) { digest = (digest ^ value) * 0x100000001B3ull; }

    void Record(const Decision& d)
    {
        Mix(static_cast<uint64_t>(d.outcome));
        Mix(static_cast<uint64_t>(d.result));
        Mix(d.postClose | d.hideCursor << 1 | d.yield << 2);
    }

    // After every step: what the rules keep fixed for the whole run.
    void CheckRunInvariants(const CloseState& before)
    {
        if (before.closeApproved) FUZZ_CHECK(state.closeApproved != 0);
        if (!context.win9xPlatform || context.previewMode) {
            FUZZ_CHECK(state.closeApproved == 0 && !state.verifyInProgress &&
                       state.lastVerifyTick == neverVerified);
        }
        if (context.previewMode) FUZZ_CHECK(state.acLineStatus == noAcReading);
    }

    void CheckWindowDecision(const CloseState& before, const SaverEvent& e, const Decision& d)
    {
        bool fullScreen = !context.previewMode;
        // The outer procedure posts a close only for the monitor-power command,
        // and changes the state only to follow a display change.
        FUZZ_CHECK(d.postClose ==
                   (fullScreen && e.message == SysCommand && e.wParam == ScMonitorPower));
        if (!(fullScreen && e.message == DisplayChange)) FUZZ_CHECK(SameState(d.next, before));
        if (!fullScreen) FUZZ_CHECK(!d.hideCursor);
        if (e.message == SetText) FUZZ_CHECK(d.outcome == Outcome::Answer && d.result == 0);
        if (before.closeApproved) {
            // Once approved, the viewer sees no paint, input or timer message.
            if (e.message == Paint || IsInputMessage(e.message))
                FUZZ_CHECK(d.outcome == Outcome::DefaultProcedure);
            if (e.message == Timer) FUZZ_CHECK(d.outcome == Outcome::Answer && d.result == 0);
        }
        if (e.message == Help || e.message == ContextMenu)
            FUZZ_CHECK(d.outcome == (fullScreen ? Outcome::Forward : Outcome::PostToParent));
    }

    void CheckDefaultDecision(const CloseState& before, const SaverEvent& e, const Decision& d)
    {
        Expect expected = ExpectedClose(context, before, e);
        if (expected != Expect::Either) FUZZ_CHECK(d.postClose == (expected == Expect::Yes));
        if (context.previewMode) FUZZ_CHECK(!d.hideCursor);

        bool isAutoPlay =
            context.autoPlayQueryMessage != 0 && e.message == context.autoPlayQueryMessage;
        if (isAutoPlay)
            FUZZ_CHECK(d.outcome == Outcome::Answer &&
                       d.result == (context.verifierLoaded ? 1 : 0));
        bool checksPassword =
            context.win9xPlatform && !context.previewMode && !before.closeApproved;
        if (e.message == Close)
            FUZZ_CHECK(d.outcome ==
                       (checksPassword ? Outcome::VerifyClose : Outcome::DefaultProcedure));
        if (e.message == App && checksPassword)
            FUZZ_CHECK(context.verifierLoaded ? d.outcome == Outcome::AskVerifier
                                              : d.outcome == Outcome::Answer && d.result == 1);

        // The default procedure never approves, verifies or moves the clock.
        FUZZ_CHECK(d.next.closeApproved == before.closeApproved &&
                   d.next.verifyInProgress == before.verifyInProgress &&
                   d.next.lastVerifyTick == before.lastVerifyTick);
        bool rulesApply = !context.previewMode && !before.closeApproved &&
                          !before.verifyInProgress &&
                          !(checksPassword && (e.message == Close || e.message == App));
        // The mouse reference moves only with a move that closes or waits.
        bool waits = rulesApply && e.message == MouseMove && !before.travelPending &&
                     TravelPastThreshold(before, e) == Expect::Yes;
        if (rulesApply && e.message == MouseMove && !before.travelPending &&
            TravelPastThreshold(before, e) != Expect::Either)
            FUZZ_CHECK(d.armTravelTimer == waits && d.next.travelPending == waits);
        bool moved = rulesApply && e.message == MouseMove && (d.postClose || d.armTravelTimer);
        const ScreenPoint& reference = moved ? e.cursor : before.lastCursorPos;
        FUZZ_CHECK(d.next.lastCursorPos.x == reference.x && d.next.lastCursorPos.y == reference.y);
        // The AC status is taken over only from a running saver's status change.
        bool statusRead =
            rulesApply && e.message == PowerBroadcast && e.wParam == PbtPowerStatusChange;
        FUZZ_CHECK(d.next.acLineStatus == (statusRead ? e.acLineStatus : before.acLineStatus));
        if (rulesApply && e.message == SetCursor)
            FUZZ_CHECK(d.outcome == Outcome::Answer && d.result == 1 && d.hideCursor);
    }

    // One message through the outer procedure, the viewer and the default
    // procedure; returns what the window answers.
    intptr_t Dispatch(const SaverEvent& e, bool consumed, int depth)
    {
        if (e.message == Create) state.lastCursorPos = e.cursor;
        CloseState before = state;
        Decision w = DecideSaverWindowMessage(context, state, e);
        CheckWindowDecision(before, e, w);
        Record(w);
        state = w.next;
        CheckRunInvariants(before);
        if (w.outcome != Outcome::Forward) return w.result;
        if (consumed) return 0;

        before = state;
        Decision d = DecideSaverDefault(context, state, e);
        CheckDefaultDecision(before, e, d);
        Record(d);
        state = d.next;
        CheckRunInvariants(before);
        switch (d.outcome) {
        case Outcome::VerifyClose:
            if (VerifyOnClose(e, depth)) return 0;
            state.lastCursorPos = cursor;  // refused: travel is measured afresh from here
            return 0;
        case Outcome::AskVerifier: return AskVerifier(depth);
        default: return d.result;
        }
    }

    // The password dialog: messages arrive while it is up, then it answers.
    intptr_t AskVerifier(int depth)
    {
        int nested = depth < deepestNesting ? in.Byte() & 3 : 0;
        for (int i = 0; i < nested && !in.Empty(); ++i) {
            bool consumed = false;
            SaverEvent e = NextEvent(consumed);
            Dispatch(e, consumed, depth + 1);
        }
        uint8_t answer = in.Byte();
        return (answer & 0x80) ? answer : (answer & 1);
    }

    // The password check on close, as the shell carries it out.
    bool VerifyOnClose(const SaverEvent& closing, int depth)
    {
        CloseState before = state;
        VerifyGate gate = DecideVerifyGate(state, context.verifierLoaded, tick);
        // A check already running refuses; no verifier approves; a close
        // within the quiet time after the last check is dropped unseen.
        VerifyGate expected = VerifyGate::Ask;
        if (before.verifyInProgress)
            expected = VerifyGate::Refuse;
        else if (!context.verifierLoaded)
            expected = VerifyGate::Approve;
        else if (before.lastVerifyTick != neverVerified &&
                 tick - before.lastVerifyTick < verifyQuietMs)
            expected = VerifyGate::Refuse;
        FUZZ_CHECK(gate == expected);
        Mix(static_cast<uint64_t>(gate));
        if (gate == VerifyGate::Refuse) return false;
        if (gate == VerifyGate::Approve) {
            state.closeApproved = 1;
            return true;
        }
        state.verifyInProgress = true;
        SaverEvent ask = closing;
        ask.message = App;
        ask.wParam = 0;
        ask.lParam = 0;
        intptr_t answer = Dispatch(ask, false, depth + 1);
        FUZZ_CHECK(state.verifyInProgress && state.closeApproved == 0);
        before = state;
        state = FinishVerify(state, static_cast<uint32_t>(answer), tick);
        FUZZ_CHECK(state.closeApproved == static_cast<uint32_t>(answer) &&
                   !state.verifyInProgress && state.lastVerifyTick == tick &&
                   state.acLineStatus == before.acLineStatus);
        CheckRunInvariants(before);
        Mix(state.closeApproved);
        return state.closeApproved != 0;
    }

    FuzzInput in;
    CloseContext context;
    CloseState state;
    uint32_t tick = 0;
    ScreenPoint cursor;
    uint64_t digest = 0xCBF29CE484222325ull;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint64_t first = SaverRun(data, size).Play();
    // Same messages, same decisions.
    FUZZ_CHECK(SaverRun(data, size).Play() == first);
    return 0;
}
