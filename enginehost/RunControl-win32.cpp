// Starts the project when the saver window is created, drives its frames
// from a thread of its own and stops it again when the window closes; a
// watchdog thread ends the process when the window thread stays stuck in
// the engine while the user would have closed the saver.
#include "enginehost/RunControl.h"

#include "common/ErrorBox.h"
#include "enginehost/EngineBinding.h"
#include "enginehost/EngineHost.h"
#include "enginehost/FrameLoop.h"
#include "packdata/ReadAppendedValue.h"
#include "settings/ViewerSettings.h"
#include "screensaver/ProcessEnd.h"
#include "screensaver/SaverRun.h"

namespace {

const char startErrorText[] =
    "There was an error starting the Ormelix Screen Saver Viewer.\r\nPlease Re-install Screen Saver";
const char startErrorCaption[] = "Ormelix Screen Saver Viewer";

// How long StopViewer waits for the frame thread to come back from the
// engine: a sound engine returns within one frame. With the window's
// teardown after it, a close stays well inside 2 s of the user's input
// even under Wine on a loaded machine.
const DWORD frameThreadStopLimit = 1000;
// How often the watchdog looks: the close stays inside about a second and a
// tenth of the engine's limit.
const DWORD watchdogPeriod = 100;

// GetLastInputInfo's record; the function is not there on Win9x.
struct LastInput {
    UINT size;
    DWORD tick;
};
typedef BOOL(WINAPI* LastInputFunction)(LastInput* info);

// The frame thread's view of the engine, the settings and the clock. The
// clock is the performance counter: GetTickCount moves in steps of up to
// 16 ms under Wine and on Windows, too coarse to pace frames by.
class EngineFrameLoopHost final : public FrameLoopHost {
public:
    EngineFrameLoopHost()
    {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        countsPerMillisecond = frequency.QuadPart / 1000;
        if (countsPerMillisecond == 0) countsPerMillisecond = 1;
    }
    bool KeepRunning() override { return engineHost.running; }
    void RenderFrame() override
    {
        // Read once: StopViewer forgets an engine it gave up on while this
        // thread may be between the test and the call.
        EngineControl* engine = engineHost.engineControl;
        if (engine) engine->Frame();
    }
    int32_t FrameDelay() override { return engineHost.viewerSettings.FrameDelay(); }
    uint32_t NowMilliseconds() override
    {
        return static_cast<uint32_t>(Counter() / countsPerMillisecond);
    }
    // Ends at once when StopViewer asks the thread to stop, however long the
    // delay in the settings file. Under Wine a wait on an object overruns by
    // a few tenths of a millisecond more than Sleep does (7 % of the frame
    // rate at 10 ms): the wait stops short and Sleep makes up the rest.
    void Pause(int32_t milliseconds) override
    {
        LONGLONG end = Counter() + milliseconds * countsPerMillisecond;
        if (milliseconds > sleptAtEnd &&
            WaitForSingleObject(engineHost.frameStopEvent,
                                static_cast<DWORD>(milliseconds - sleptAtEnd)) == WAIT_OBJECT_0)
            return;
        LONGLONG left = (end - Counter() + countsPerMillisecond / 2) / countsPerMillisecond;
        if (left > 0) Sleep(static_cast<DWORD>(left));
    }

private:
    static constexpr int32_t sleptAtEnd = 2;
    static LONGLONG Counter()
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return now.QuadPart;
    }
    LONGLONG countsPerMillisecond;
};

void SetSaverChannel(EngineCore* core, const char* name, float value)
{
    ValueChannel* channel = core->FindChannel(saverChannelType, name);
    if (channel) channel->SetValue(value);
}

// Waits at most limit milliseconds for thread to end; true if it did. Messages
// that other threads send to this thread's windows are handled meanwhile: a
// frame that sends to the saver window waits for this thread, which would
// otherwise wait for it in turn until the limit.
bool WaitForThreadLettingSentMessagesIn(HANDLE thread, DWORD limit)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        DWORD waited = GetTickCount() - start;
        if (waited >= limit || MsgWaitForMultipleObjects(1, &thread, FALSE, limit - waited,
                                                         QS_SENDMESSAGE) != WAIT_OBJECT_0 + 1)
            break;
    }
    return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
}

void StartWatchdog(HWND window)
{
    engineHost.watchdogStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (engineHost.watchdogStopEvent)
        engineHost.watchdogThread = CreateThread(nullptr, 0, WatchdogThread, window, 0, nullptr);
}

void EndWatchdog()
{
    bool ended = true;
    if (engineHost.watchdogThread) {
        SetEvent(engineHost.watchdogStopEvent);
        // Its loop ends at once, but a thread's end runs every library's
        // detach code, the engine's included, under the loader's lock: one
        // that never comes back is left behind, with its event.
        ended = WaitForSingleObject(engineHost.watchdogThread, watchdogPeriod) == WAIT_OBJECT_0;
        CloseHandle(engineHost.watchdogThread);
        engineHost.watchdogThread = nullptr;
    }
    if (ended && engineHost.watchdogStopEvent) CloseHandle(engineHost.watchdogStopEvent);
    engineHost.watchdogStopEvent = nullptr;
}

}  // namespace

WindowThreadEngineCall::WindowThreadEngineCall(EngineCallKind kind)
    : outerSince_(engineHost.engineCallSince), outerKind_(engineHost.engineCallKind)
{
    DWORD now = GetTickCount();
    engineHost.engineCallKind = static_cast<uint8_t>(kind);
    engineHost.engineCallSince = now ? now : 1;
}

WindowThreadEngineCall::~WindowThreadEngineCall()
{
    engineHost.engineCallSince = outerSince_;
    engineHost.engineCallKind = outerKind_;
}

DWORD WINAPI WatchdogThread(void* window)
{
    // Fixed while the window lives: the settings are loaded and the password
    // library bound before the watchdog starts.
    HANDLE stop = engineHost.watchdogStopEvent;
    WatchdogFacts facts = {};
    facts.previewMode = saverRun.previewMode != 0;
    facts.doNotQuit = engineHost.viewerSettings.DoNotQuit();
    facts.passwordInForce = saverRun.verifyPasswordProc != nullptr;
    HWND parent = GetParent(static_cast<HWND>(window));
    LastInputFunction lastInput = reinterpret_cast<LastInputFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("USER32.DLL"), "GetLastInputInfo")));
    facts.cursor = CursorNow();
    while (WaitForSingleObject(stop, watchdogPeriod) == WAIT_TIMEOUT) {
        // The cursor is read before the mark, so the look before a new call
        // (from which the call is measured) was taken before the call began;
        // a move in between would have closed the saver too.
        ScreenPoint cursor = CursorNow();
        uint32_t since = engineHost.engineCallSince;
        facts.callKind = static_cast<EngineCallKind>(engineHost.engineCallKind.load());
        facts.now = GetTickCount();
        if (since != facts.callSince) facts.cursorAtCall = facts.cursor;
        facts.cursor = cursor;
        facts.callSince = since;
        facts.insideCall = since != 0;
        facts.parentAlive = IsWindow(parent) != FALSE;
        LastInput input = {sizeof input, 0};
        facts.inputKnown = lastInput && lastInput(&input);
        facts.lastInput = input.tick;
        if (WatchdogEndsProcess(facts)) EndProcessAtOnce(0);
    }
    return 0;
}

DWORD WINAPI FrameThread(void*)
{
    EngineFrameLoopHost host;
    RunFrameLoop(host);
    return 0;
}

bool StartProject(HWND window)
{
    char projectName[textSize];
    if (!ReadProjectName(projectName)) {
        ShowErrorBox(nullptr, "Can't find ProjectName", "Error", 0);
        return false;
    }
    if (!window) return false;
    if (engineHost.engineControl) {
        WindowThreadEngineCall call(EngineCallKind::Ordinary);
        engineHost.engineControl->LoadProject(engineHost.viewerSettings.ProjectPath());
        if (EngineCore* core = engineHost.engineControl->GetCore()) {
            SetSaverChannel(core, "OrmelixSaver", 1.0f);
            SetSaverChannel(core, "OrmelixSaverPreview", saverRun.previewMode ? 1.0f : 0.0f);
        }
        if (engineHost.engineControl->Run() == 0) return true;
    }
    ShowErrorBox(window, startErrorText, startErrorCaption, MB_ICONERROR);
    if (engineHost.engineControl) {
        WindowThreadEngineCall call(EngineCallKind::Ordinary);
        engineHost.engineControl->Destroy(1);
    }
    engineHost.engineControl = nullptr;
    return false;
}

void StartViewer(HWND window)
{
    BindEngine(window);
    if (engineHost.engineControl && !engineHost.watchdogThread) StartWatchdog(window);
    if (!engineHost.viewerSettings.PreviewEnabled() && saverRun.previewMode)
        return;  // the preview stays black; no project runs in it
    if (!StartProject(window)) {
        EndDialog(window, 0);  // no dialog: the window stays open and black
        return;
    }
    engineHost.running = true;
    engineHost.frameStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    engineHost.frameThread = engineHost.frameStopEvent
                                 ? CreateThread(nullptr, 0, FrameThread, nullptr, 0, nullptr)
                                 : nullptr;
    if (engineHost.frameThread) return;
    // No thread to stop: StopViewer only destroys the engine.
    engineHost.running = false;
    if (engineHost.frameStopEvent) CloseHandle(engineHost.frameStopEvent);
    engineHost.frameStopEvent = nullptr;
}

void StopViewer(HWND)
{
    if (engineHost.stopInProgress) return;
    engineHost.stopInProgress = true;
    bool threadEnded = true;
    if (engineHost.running) {
        engineHost.running = false;
        SetEvent(engineHost.frameStopEvent);
        // The thread ends after the frame it is in; its pause ends at once.
        threadEnded =
            WaitForThreadLettingSentMessagesIn(engineHost.frameThread, frameThreadStopLimit);
        CloseHandle(engineHost.frameThread);
        engineHost.frameThread = nullptr;
        if (threadEnded) {
            CloseHandle(engineHost.frameStopEvent);
            engineHost.frameStopEvent = nullptr;
        }
    }
    if (!threadEnded) {
        // The thread is stuck inside the engine: destroying the engine would
        // pull it out from under that thread, and any further call could wait
        // on a lock the thread holds. Forget the engine without a call; the
        // window closes as usual, and no library's code runs again: the
        // watchdog is left to the process's end, which comes at once.
        saverRun.threadAbandoned = true;
        engineHost.engineControl = nullptr;
    } else if (engineHost.engineControl) {
        WindowThreadEngineCall call(EngineCallKind::Stopping);
        engineHost.engineControl->Destroy(1);
        engineHost.engineControl = nullptr;
    }
    if (!saverRun.threadAbandoned) EndWatchdog();
    engineHost.stopInProgress = false;
}
