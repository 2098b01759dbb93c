// The viewer window procedure in-process on a real window: the engine sees
// each message before the shell, the project starts with WM_CREATE (or the
// window is refused), and WM_CLOSE stops the thread, destroys the engine and
// then the window, asking for the password first where the shell would.
#include "FakeViewerWorld.h"

#include "enginehost/EngineBinding.h"
#include "enginehost/EngineHost.h"
#include "enginehost/RunControl.h"
#include "enginehost/ViewerWindowProc.h"
#include "settings/ViewerSettings.h"
#include "screensaver/SaverRun.h"
#include "screensaver/SaverWindow.h"

#include <gtest/gtest.h>

namespace {

const char testClass[] = "ViewerWindowProcTest";

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ViewerWindowProc(window, message, wParam, lParam);
}

class ViewerWindowProcTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterTestClass(testClass, TestWindowProc); }
    void SetUp() override
    {
        ResetFakeWorld();
        engineHost.viewerPlatform = &platform;
        engineHost.engineControl = &engine;
    }
    void TearDown() override
    {
        if (window && IsWindow(window)) DestroyWindow(window);
        ResetFakeWorld();
    }
    HWND Create()
    {
        window = CreateWindowExA(0, testClass, "viewer", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        return window;
    }
    // The part of the log from the first line equal to from onwards.
    std::vector<std::string> LogFrom(const std::string& from)
    {
        std::vector<std::string> lines = callLog.Lines();
        int start = callLog.Find(from);
        return start < 0 ? std::vector<std::string>()
                         : std::vector<std::string>(lines.begin() + start, lines.end());
    }

    RecordingEngine engine{callLog};
    FakePlatform platform;
    HWND window = nullptr;
};

TEST_F(ViewerWindowProcTest, PowerOffBeforeTheSaverRefusesFullScreenOnly)
{
    // Power-off active at 600 s, the saver at 900 s: the monitor would be off first.
    platform.powerOffActive = true;
    platform.powerOffTimeout = 600;
    platform.screenSaveTimeout = 900;
    struct Row {
        const char* rule;
        int preview;
        bool created;
    } rows[] = {
        {"full screen is refused with -1", 0, false},
        {"the preview starts", 1, true},
    };
    for (const Row& row : rows) {
        ResetFakeWorld();
        engineHost.engineControl = &engine;
        engineHost.viewerSettings.previewEnabled = 1;
        saverRun.previewMode = row.preview;
        EXPECT_EQ(row.created, Create() != nullptr) << row.rule;
        EXPECT_EQ(row.created, callLog.Find("GetCore") >= 0) << row.rule;
        EXPECT_EQ(row.created, engineHost.running.load()) << row.rule;
        if (window) DestroyWindow(window);
        window = nullptr;
    }
}

TEST_F(ViewerWindowProcTest, EngineSeesEveryMessageBeforeTheShell)
{
    ASSERT_NE(nullptr, Create());
    callLog.Clear();
    SendMessageA(window, WM_USER + 5, 0, 0);
    SendMessageA(window, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ((std::vector<std::string>{"WindowMessage 0x0405", "SaverDefaultProc 0x0405",
                                        "WindowMessage 0x0101", "SaverDefaultProc 0x0101"}),
              callLog.Lines());
}

TEST_F(ViewerWindowProcTest, SwallowedMessagesReachTheEngineButNotTheShell)
{
    struct Row {
        const char* rule;
        UINT message;
        WPARAM wParam;
        bool doNotQuit;
        unsigned platformId;
        bool reachesShell;
    } rows[] = {
        // Do-not-quit keeps user input away from the close rules.
        {"do-not-quit key", WM_KEYDOWN, VK_SPACE, true, 2, false},
        {"do-not-quit click", WM_LBUTTONDOWN, MK_LBUTTON, true, 2, false},
        {"do-not-quit move", WM_MOUSEMOVE, 0, true, 2, false},
        {"key without do-not-quit", WM_KEYDOWN, VK_SPACE, false, 2, true},
        // The engine paints the whole window: no background erase.
        {"erase background", WM_ERASEBKGND, 0, false, 2, false},
        // SC_MONITORPOWER goes on only on the NT platform.
        {"monitor power on NT", WM_SYSCOMMAND, SC_MONITORPOWER, false, 2, true},
        {"monitor power on Win9x", WM_SYSCOMMAND, SC_MONITORPOWER, false, 1, false},
    };
    ASSERT_NE(nullptr, Create());
    for (const Row& row : rows) {
        engineHost.viewerSettings.doNotQuit = row.doNotQuit;
        platform.platformId = row.platformId;
        callLog.Clear();
        LRESULT result = SendMessageA(window, row.message, row.wParam, 0);
        std::vector<std::string> lines = callLog.Lines();
        ASSERT_FALSE(lines.empty()) << row.rule;
        EXPECT_EQ(0u, lines[0].find("WindowMessage")) << row.rule;
        char shellLine[40];
        wsprintfA(shellLine, "SaverDefaultProc 0x%04X", row.message);
        EXPECT_EQ(row.reachesShell, callLog.Find(shellLine) > 0) << row.rule;
        if (!row.reachesShell) {
            EXPECT_EQ(0, result) << row.rule;
        }
    }
}

TEST_F(ViewerWindowProcTest, CloseStopsTheThreadDestroysTheEngineThenTheWindow)
{
    struct Row {
        const char* rule;
        int win9x;
        int preview;
        bool passwordAccepted;
        std::vector<std::string> expected;  // the log from WM_CLOSE on
        bool closes;
        UINT frameSends;  // what the frame sends the window once the stop began
    } rows[] = {
        // NT: the close goes ahead as the window procedure's table gives it.
        {"NT full screen",
         0,
         0,
         true,
         {"WindowMessage 0x0010", "Destroy 1", "SaverDefaultProc 0x0002", "SaverDefaultProc 0x0082",
          "SaverDefaultProc 0x0010"},
         true,
         0},
        // Win9x, accepted: the same order, after the password check.
        {"Win9x accepted",
         1,
         0,
         true,
         {"WindowMessage 0x0010", "VerifyPasswordOnClose yes", "Destroy 1",
          "SaverDefaultProc 0x0002", "SaverDefaultProc 0x0082", "SaverDefaultProc 0x0010"},
         true,
         0},
        // Win9x, refused: nothing stops; WM_CLOSE goes to the shell, which drops it.
        {"Win9x refused",
         1,
         0,
         false,
         {"WindowMessage 0x0010", "VerifyPasswordOnClose no", "SaverDefaultProc 0x0010"},
         false,
         0},
        // The preview never asks for a password.
        {"Win9x preview",
         1,
         1,
         false,
         {"WindowMessage 0x0010", "Destroy 1", "SaverDefaultProc 0x0002", "SaverDefaultProc 0x0082",
          "SaverDefaultProc 0x0010"},
         true,
         0},
        // The engine's frame sends WM_CLOSE while the stop waits for it (as an
        // engine that quits on a key from its render loop does): that close is
        // answered 0 and the stop under way destroys the window, after the engine.
        {"a frame sends WM_CLOSE during the stop",
         0,
         0,
         true,
         {"WindowMessage 0x0010", "WindowMessage 0x0010", "Destroy 1", "SaverDefaultProc 0x0002",
          "SaverDefaultProc 0x0082", "SaverDefaultProc 0x0010"},
         true,
         WM_CLOSE},
    };
    for (const Row& row : rows) {
        ResetFakeWorld();
        RecordingEngine engine{callLog};
        engineHost.engineControl = &engine;
        fakeWorld.passwordAccepted = row.passwordAccepted;
        saverRun.win9xPlatform = row.win9x;
        saverRun.previewMode = row.preview;
        engineHost.viewerSettings.previewEnabled = 1;
        // A frame in progress when the stop comes, so that it sends.
        engine.frameMilliseconds = row.frameSends ? 300 : 0;
        engine.sendAfterStop = row.frameSends;
        engine.running = &engineHost.running;
        ASSERT_NE(nullptr, Create()) << row.rule;
        engine.sendTo = window;
        ASSERT_TRUE(engine.WaitForFrames(2)) << row.rule;

        SendMessageA(window, WM_CLOSE, 0, 0);

        EXPECT_EQ(row.expected, LogFrom("WindowMessage 0x0010")) << row.rule;
        EXPECT_EQ(!row.closes, IsWindow(window) != FALSE) << row.rule;
        EXPECT_EQ(!row.closes, engineHost.running.load()) << row.rule;
        EXPECT_EQ(-1, callLog.Find("Frame after Destroy")) << row.rule;
        if (!row.closes) {
            int frames = engine.frames;
            EXPECT_TRUE(engine.WaitForFrames(frames)) << row.rule << ": the project runs on";
            DestroyWindow(window);  // WM_DESTROY stops what WM_CLOSE left running
            EXPECT_EQ(nullptr, engineHost.engineControl) << row.rule;
            EXPECT_FALSE(engineHost.running) << row.rule;
        }
        window = nullptr;
    }
}

}  // namespace
