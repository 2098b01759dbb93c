// Run control in-process with a recording engine: what StartViewer and
// StartProject call and in what order, the boxes of a failed start, the
// frame thread's life, and StopViewer's order and idempotence.
#include "FakeViewerWorld.h"

#include "enginehost/EngineBinding.h"
#include "enginehost/EngineHost.h"
#include "enginehost/RunControl.h"
#include "settings/ViewerSettings.h"
#include "screensaver/SaverRun.h"
#include "screensaver/SaverWindow.h"

#include "MessageBoxWatcher.h"

#include <gtest/gtest.h>

namespace {

const char startError[] =
    "There was an error starting the Ormelix Screen Saver Viewer.\r\nPlease Re-install Screen Saver";
const char testClass[] = "RunControlTest";

// Stops the viewer on WM_CLOSE, as the viewer's window procedure does.
LRESULT CALLBACK StopOnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_CLOSE) return DefWindowProcA(window, message, wParam, lParam);
    callLog.Add("WM_CLOSE");
    StopViewer(window);
    return 0;
}

class RunControlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterTestClass(testClass, StopOnClose); }
    void SetUp() override
    {
        ResetFakeWorld();
        window = CreateWindowExA(0, testClass, "run control test", WS_POPUP, 0, 0, 64, 64, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override
    {
        ResetFakeWorld();
        DestroyWindow(window);
    }

    std::vector<std::string> Expected(std::initializer_list<const char*> lines)
    {
        return std::vector<std::string>(lines.begin(), lines.end());
    }

    HWND window = nullptr;
    RecordingEngine engine{callLog};
};

TEST_F(RunControlTest, StartSetsBothChannelsRunsThenFrameThreadUntilStop)
{
    struct Row {
        const char* rule;
        int preview;
        const char* previewValue;
    } rows[] = {
        // Full screen: "OrmelixSaverPreview" is 0.0.
        {"full screen", 0, "SetValue OrmelixSaverPreview 0.0"},
        // In '/p' it is 1.0 (the preview must be enabled to run a project).
        {"preview", 1, "SetValue OrmelixSaverPreview 1.0"},
    };
    for (const Row& row : rows) {
        ResetFakeWorld();
        RecordingEngine engine{callLog};
        engineHost.engineControl = &engine;
        saverRun.previewMode = row.preview;
        engineHost.viewerSettings.previewEnabled = 1;

        StartViewer(window);
        ASSERT_TRUE(engine.WaitForFrames(3)) << row.rule;
        EXPECT_TRUE(engineHost.running) << row.rule;
        EXPECT_EQ(Expected({"GetCore", "ReadProjectName", "LoadProject demo.proj", "GetCore",
                            "FindChannel OrmelixSaver", "SetValue OrmelixSaver 1.0",
                            "FindChannel OrmelixSaverPreview", row.previewValue, "Run"}),
                  callLog.Lines())
            << row.rule;

        StopViewer(window);
        int framesAtStop = engine.frames;
        EXPECT_FALSE(engineHost.running) << row.rule;
        EXPECT_EQ(nullptr, engineHost.frameThread) << row.rule;
        EXPECT_EQ(nullptr, engineHost.engineControl) << row.rule;
        EXPECT_EQ("Destroy 1", callLog.Lines().back()) << row.rule;
        EXPECT_EQ(-1, callLog.Find("Frame after Destroy")) << row.rule;
        Sleep(30);  // a thread still alive would render again meanwhile
        EXPECT_EQ(framesAtStop, engine.frames) << row.rule;
    }
}

TEST_F(RunControlTest, StopWaitsForTheFrameThenDestroysOrGivesUpAfterALimit)
{
    struct Row {
        const char* rule;
        DWORD frameMilliseconds;
        int32_t delay;
        UINT sendAfterStop;
        bool destroyed;
    } rows[] = {
        // A frame in progress is waited for: Destroy comes only after it ended.
        {"frame in progress", 300, 5, 0, true},
        // The pause ends on the stop, long before the limit.
        {"long pause", 0, 60000, 0, true},
        // A frame that sends to the window waits for the window thread, which
        // lets the message in while it waits; the close it sends stops nothing twice.
        {"frame sends WM_CLOSE", 300, 5, WM_CLOSE, true},
        // A frame beyond the limit is given up on: the engine is forgotten, not destroyed.
        {"frame beyond the limit", 1500, 5, 0, false},
    };
    for (const Row& row : rows) {
        ResetFakeWorld();
        RecordingEngine engine{callLog};
        engine.frameMilliseconds = row.frameMilliseconds;
        engine.sendTo = window;
        engine.sendAfterStop = row.sendAfterStop;
        engine.running = &engineHost.running;
        engineHost.viewerSettings.frameDelay = row.delay;
        engineHost.engineControl = &engine;
        StartViewer(window);
        ASSERT_TRUE(engine.WaitForFrames(0)) << row.rule;
        HANDLE thread = nullptr, watchdog = nullptr;
        DuplicateHandle(GetCurrentProcess(), engineHost.frameThread, GetCurrentProcess(), &thread,
                        SYNCHRONIZE, FALSE, 0);
        DuplicateHandle(GetCurrentProcess(), engineHost.watchdogThread, GetCurrentProcess(),
                        &watchdog, SYNCHRONIZE, FALSE, 0);
        const HANDLE made[] = {engineHost.frameThread, engineHost.frameStopEvent,
                               engineHost.watchdogThread, engineHost.watchdogStopEvent};

        StopViewer(window);

        // The watchdog has ended, and its handles and the frame thread's are
        // back, by the time StopViewer returns; after a give-up it is left
        // running: its end would run every library's thread-detach code.
        EXPECT_EQ(row.destroyed ? WAIT_OBJECT_0 : WAIT_TIMEOUT, WaitForSingleObject(watchdog, 0))
            << row.rule;
        CloseHandle(watchdog);
        DWORD flags;
        for (int i = 0; row.destroyed && i < 4; ++i)
            EXPECT_FALSE(GetHandleInformation(made[i], &flags)) << row.rule << ": handle " << i;

        EXPECT_EQ(nullptr, engineHost.engineControl) << row.rule;
        EXPECT_EQ(row.destroyed, callLog.Find("Destroy 1") != -1) << row.rule;
        EXPECT_EQ(row.destroyed, !saverRun.threadAbandoned) << row.rule;
        EXPECT_EQ(row.sendAfterStop != 0, callLog.Find("WM_CLOSE") != -1) << row.rule;
        // Outlives a thread given up on, so that it never runs into a gone engine.
        EXPECT_EQ(row.destroyed ? WAIT_OBJECT_0 : WAIT_TIMEOUT, WaitForSingleObject(thread, 0))
            << row.rule;
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        EXPECT_EQ(-1, callLog.Find("Frame after Destroy")) << row.rule;
    }
}

// Marks nest: the engine may send to its own window during a call. The inner
// call's end gives the outer call its mark back, so that the watchdog still
// times the outer call.
TEST_F(RunControlTest, InnerEngineCallGivesTheOuterCallItsMarkBack)
{
    {
        WindowThreadEngineCall outer(EngineCallKind::CloseAsked);
        uint32_t outerSince = engineHost.engineCallSince;
        ASSERT_NE(0u, outerSince);
        {
            WindowThreadEngineCall inner(EngineCallKind::Ordinary);
            EXPECT_EQ(uint8_t(EngineCallKind::Ordinary), engineHost.engineCallKind.load());
        }
        EXPECT_EQ(outerSince, engineHost.engineCallSince.load());
        EXPECT_EQ(uint8_t(EngineCallKind::CloseAsked), engineHost.engineCallKind.load());
    }
    EXPECT_EQ(0u, engineHost.engineCallSince.load());
}

TEST_F(RunControlTest, StopViewerTwiceDoesTheWorkOnce)
{
    engineHost.engineControl = &engine;
    StartViewer(window);
    ASSERT_TRUE(engine.WaitForFrames(1));
    StopViewer(window);
    size_t afterFirst = callLog.Lines().size();
    StopViewer(window);
    EXPECT_EQ(afterFirst, callLog.Lines().size());
    EXPECT_EQ(-1, callLog.Find("Destroy 1", callLog.Find("Destroy 1") + 1));
}

TEST_F(RunControlTest, StopViewerBeforeAnyStartDestroysTheBoundEngine)
{
    engineHost.engineControl = &engine;
    StopViewer(window);
    EXPECT_EQ(Expected({"Destroy 1"}), callLog.Lines());
    EXPECT_EQ(nullptr, engineHost.engineControl);
    EXPECT_EQ(0, engine.frames);
}

TEST_F(RunControlTest, PreviewWithPreviewDisabledBindsButRunsNothing)
{
    engineHost.engineControl = &engine;
    saverRun.previewMode = 1;
    engineHost.viewerSettings.previewEnabled = 0;
    StartViewer(window);
    EXPECT_EQ(Expected({"GetCore"}), callLog.Lines());  // the binding only reloads the settings
    EXPECT_FALSE(engineHost.running);
    EXPECT_EQ(nullptr, engineHost.frameThread);
    EXPECT_EQ(&engine, engineHost.engineControl);
    StopViewer(window);  // the window goes away: the engine goes with it
    EXPECT_EQ(Expected({"GetCore", "Destroy 1"}), callLog.Lines());
}

TEST_F(RunControlTest, ProjectWithoutSaverChannelsStillRuns)
{
    struct Row {
        const char* rule;
        bool coreMissing;
        bool hasChannels;
    } rows[] = {
        // Neither channel defined: both looked up, none set.
        {"no channels", false, false},
        // No core at all: no lookup.
        {"no core", true, true},
    };
    for (const Row& row : rows) {
        ResetFakeWorld();
        RecordingEngine engine{callLog};
        engine.coreMissing = row.coreMissing;
        engine.hasChannels = row.hasChannels;
        engineHost.engineControl = &engine;
        StartViewer(window);
        ASSERT_TRUE(engine.WaitForFrames(1)) << row.rule;
        for (const std::string& line : callLog.Lines())
            EXPECT_EQ(std::string::npos, line.find("SetValue")) << row.rule << ": " << line;
        EXPECT_NE(-1, callLog.Find("Run")) << row.rule;
        StopViewer(window);
    }
}

TEST_F(RunControlTest, FailedStartShowsItsBoxAndLeavesNoThread)
{
    struct Row {
        const char* rule;
        bool packed;
        bool bindEngine;
        int32_t runResult;
        const char* caption;
        const char* text;
        bool ownedByWindow;
        const char* icon;
        bool engineStaysBound;
        const char* bindingBox;  // the binding's own box before it, if any
    } rows[] = {
        // No "ProjectName" in the data block: its own box, no owner; the engine stays.
        {"no project name", false, true, 0, "Error", "Can't find ProjectName", false, "none", true,
         nullptr},
        // Run refuses the project: the start-error box owned by the window; engine destroyed.
        {"Run fails", true, true, 3, "Ormelix Screen Saver Viewer", startError, true, "error",
         false, nullptr},
        // No engine could be bound (no install directory registered): the
        // binding's box, then the same start-error box.
        {"no engine", true, false, 0, "Ormelix Screen Saver Viewer", startError, true, "error",
         false, "Engine init error"},
    };
    for (const Row& row : rows) {
        ResetFakeWorld();
        RecordingEngine engine{callLog};
        engine.runResult = row.runResult;
        fakeWorld.projectNamePacked = row.packed;
        engineHost.engineControl = row.bindEngine ? &engine : nullptr;
        MessageBoxWatcher watcher;

        StartViewer(window);

        std::vector<SeenBox> boxes = watcher.Boxes();
        ASSERT_EQ(row.bindingBox ? 2u : 1u, boxes.size()) << row.rule;
        if (row.bindingBox) {
            EXPECT_EQ(row.bindingBox, boxes[0].caption) << row.rule;
        }
        const SeenBox& box = boxes.back();
        EXPECT_EQ(row.caption, box.caption) << row.rule;
        EXPECT_EQ(row.text, box.text) << row.rule;
        EXPECT_EQ(row.ownedByWindow ? window : nullptr, box.owner) << row.rule;
        EXPECT_EQ(row.icon, box.icon) << row.rule;
        EXPECT_FALSE(engineHost.running) << row.rule;
        EXPECT_EQ(nullptr, engineHost.frameThread) << row.rule;
        EXPECT_EQ(0, engine.frames) << row.rule;
        EXPECT_TRUE(IsWindow(window)) << row.rule << ": the window stays open";
        EXPECT_EQ(row.engineStaysBound, engineHost.engineControl != nullptr) << row.rule;
        EXPECT_EQ(row.bindEngine && !row.engineStaysBound, engine.destroyed.load()) << row.rule;
    }
}

TEST_F(RunControlTest, StartProjectWithoutWindowRefusesQuietly)
{
    engineHost.engineControl = &engine;
    EXPECT_FALSE(StartProject(nullptr));
    EXPECT_EQ(-1, callLog.Find("Run"));
    EXPECT_EQ(&engine, engineHost.engineControl);
}

}  // namespace
