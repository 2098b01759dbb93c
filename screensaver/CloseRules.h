// The saver window's close rules as pure decisions: a window message, the
// readings taken with it and the window's state go in; what to do, what to
// answer and the next state come out. The Win32 procedures only translate.
#pragma once

#include <stdint.h>

#include "common/WindowMessages.h"

// Largest cursor travel (abs(dx) + abs(dy)) that does not close the saver.
constexpr uint32_t mouseMoveThreshold = 4;
// lastVerifyTick before the first verification.
constexpr uint32_t neverVerified = 0xFFFFFFFFu;
// acLineStatus when the system gave no reading.
constexpr uint8_t noAcReading = 255;
// A WM_CLOSE this soon (ms) after the end of a verification is dropped unseen.
constexpr uint32_t verifyQuietMs = 200;
// A display change moves the cursor, and under Wine the move may come before
// the new screen can be read. So a move that closes alone waits this long
// (ms) on the timer below for the display change that would explain it; a
// second such travel closes at once.
constexpr uint32_t travelConfirmMs = 1000;
constexpr uintptr_t travelTimerId = 0x5356;

struct ScreenPoint {
    int32_t x = 0, y = 0;
};

// The virtual screen, the rectangle around every monitor (screen coordinates).
struct ScreenRect {
    int32_t left = 0, top = 0, width = 0, height = 0;
};

// What the rules change while the saver runs; one instance per process.
struct CloseState {
    uint32_t closeApproved = 0;               // non-zero once a close was approved
    bool verifyInProgress = false;            // while the password dialog is up
    uint32_t lastVerifyTick = neverVerified;  // end of the last verification
    uint8_t acLineStatus = noAcReading;       // 0 offline, 1 online, 255 no reading
    ScreenPoint lastCursorPos;                // reference point of mouse travel
    bool travelPending = false;               // a closing travel waits on its timer
    // The virtual screen the full-screen window covers and lastCursorPos was
    // taken on.
    ScreenRect screen;
};

// Facts fixed for one run of the window.
struct CloseContext {
    bool previewMode = false;
    bool win9xPlatform = false;
    bool verifierLoaded = false;        // "VerifyScreenSavePwd" is bound
    uint32_t autoPlayQueryMessage = 0;  // "QueryCancelAutoPlay", 0 when not registered
};

// One window message with the readings taken for it.
struct SaverEvent {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    ScreenPoint cursor;                  // cursor position now (screen coordinates)
    uint8_t acLineStatus = noAcReading;  // only read when NeedsAcLineStatus says so
    ScreenRect screen;                   // the virtual screen now, read when NeedsScreen says so
};

enum class Outcome : uint8_t {
    Forward,           // pass on to the viewer's procedure and return its answer
    DefaultProcedure,  // return DefWindowProcA's answer
    Answer,            // return Decision::result
    PostToParent,      // preview: post the message to a live parent, answer 1
    VerifyClose,       // WM_CLOSE: ask the password verifier; refused -> answer 0
                       // and take a new cursor reference, else DefaultProcedure
    AskVerifier,       // WM_APP: answer the verifier's own result
};

struct Decision {
    Outcome outcome = Outcome::DefaultProcedure;
    intptr_t result = 0;           // with Outcome::Answer
    bool postClose = false;        // queue a WM_CLOSE to the window
    bool hideCursor = false;       // SetCursor(no cursor)
    bool yield = false;            // Sleep(0) before going on
    bool coverScreen = false;      // move and size the window over next.screen first
    bool armTravelTimer = false;   // SetTimer(travelTimerId, travelConfirmMs)
    bool killTravelTimer = false;  // KillTimer(travelTimerId)
    CloseState next;
};

// True when the cursor moved from `from` to `to` far enough to close the saver.
bool TravelCloses(const ScreenPoint& from, const ScreenPoint& to);

// The outer procedure's own handling of a message (SaverWindowProc).
Decision DecideSaverWindowMessage(const CloseContext& context, const CloseState& state,
                                  const SaverEvent& event);
// The close rules of the default procedure (SaverDefaultProc).
Decision DecideSaverDefault(const CloseContext& context, const CloseState& state,
                            const SaverEvent& event);
// Whether the AC line status must be read for this message.
bool NeedsAcLineStatus(uint32_t message, uintptr_t wParam);
// Whether the virtual screen (and, for the outer procedure, the cursor) must
// be read for this message.
bool NeedsScreen(uint32_t message);

// The first steps of a password verification on close.
enum class VerifyGate : uint8_t {
    Refuse,   // answer false without asking
    Approve,  // no verifier: approved without asking
    Ask,      // ask the verifier
};
VerifyGate DecideVerifyGate(const CloseState& state, bool verifierLoaded, uint32_t now);
// The state once the verifier answered (non-zero = accepted) at tick `now`.
CloseState FinishVerify(const CloseState& state, uint32_t verifierResult, uint32_t now);
