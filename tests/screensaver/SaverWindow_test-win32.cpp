// The saver window in this process: RunSaverWindow runs on a thread of its own
// while the test sends it messages that cannot cross processes (WM_HELP
// carries a pointer) or whose effect is only visible on the window's thread.
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <imm.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "screensaver/SaverRun.h"
#include "tests/support/TestWindowClass.h"
#include "screensaver/SaverShell.h"
#include "screensaver/SaverWindow.h"
#include "screensaver/SaverWindowInternal.h"

namespace {

// The viewer stand-in answers this with the window thread's cursor ...
constexpr UINT cursorQuery = WM_USER + 1;
// ... shows the arrow, sends the window the message wParam (with wParam 1)
// and answers whether the cursor is still shown, all on the window's thread
// so that no pending paint can come between ...
constexpr UINT arrowThen = WM_USER + 2;
// ... answers every WM_SYSCOMMAND with this, so that none reaches DefWindowProcA ...
constexpr LRESULT sysCommandSeen = 0x5A5A;
// ... moves the mouse reference a little off the cursor (too little to close) ...
constexpr UINT shiftReference = WM_USER + 3;
// ... and shows the arrow, queues three timer messages (wParam 1, 2, 3), closes
// the window and records the cursor that the close left (on the window's
// thread, before a pending paint could hide it).
constexpr UINT closeBehindTimers = WM_USER + 4;
HCURSOR cursorAfterClose;

std::mutex seenLock;
std::vector<UINT> viewerSaw;
std::vector<WPARAM> timersSeen;
std::vector<bool> runningCalls;
bool refuseCreate;  // the viewer refuses the window, as when it cannot start
// Whether the window had an input context when the viewer saw these messages.
bool imeContextAtCreate, imeContextAtDestroy;

bool HasInputContext(HWND window)
{
    HIMC context = ImmGetContext(window);
    if (context) ImmReleaseContext(window, context);
    return context != nullptr;
}

std::vector<UINT> ViewerSaw()
{
    std::lock_guard<std::mutex> lock(seenLock);
    return viewerSaw;
}

bool ViewerSaw(UINT message)
{
    for (UINT m : ViewerSaw())
        if (m == message) return true;
    return false;
}

}  // namespace

void SetScreenSaverRunning(bool running)
{
    std::lock_guard<std::mutex> lock(seenLock);
    runningCalls.push_back(running);
}

// The viewer's procedure handed to the shell: records, answers the test's
// queries, and passes the rest on like the viewer does.
static LRESULT RecordingViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    {
        std::lock_guard<std::mutex> lock(seenLock);
        viewerSaw.push_back(message);
        if (message == WM_TIMER) timersSeen.push_back(wParam);
    }
    switch (message) {
    case WM_CREATE:
        imeContextAtCreate = HasInputContext(window);
        if (refuseCreate) return -1;
        break;
    case WM_DESTROY: imeContextAtDestroy = HasInputContext(window); break;
    case shiftReference:
        saverRun.closeState.lastCursorPos.x += 1;
        saverRun.closeState.lastCursorPos.y += 1;
        return 0;
    case closeBehindTimers: {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        for (WPARAM id = 1; id <= 3; ++id) PostMessageA(window, WM_TIMER, id, 0);
        LRESULT result = SendMessageA(window, WM_CLOSE, 0, 0);
        cursorAfterClose = GetCursor();
        return result;
    }
    }
    if (message == cursorQuery) return reinterpret_cast<LRESULT>(GetCursor());
    if (message == arrowThen) {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        SendMessageA(window, static_cast<UINT>(wParam), 1, 0);
        return GetCursor() != nullptr;
    }
    if (message == WM_SYSCOMMAND) return sysCommandSeen;
    return SaverDefaultProc(window, message, wParam, lParam);
}

namespace {

void PumpOnce()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
}

// One run of RunSaverWindow on its own thread, from a clean process state.
class WindowRun {
public:
    explicit WindowRun(HWND parent) : parent_(parent)
    {
        saverRun.appInstance = GetModuleHandleA(nullptr);
        saverRun.previewMode = 0;
        saverRun.closeState = CloseState();
        {
            std::lock_guard<std::mutex> lock(seenLock);
            viewerSaw.clear();
            timersSeen.clear();
            runningCalls.clear();
        }
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~WindowRun()
    {
        if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
        Finished();
        CloseHandle(thread_);
        UnregisterClassA("WindowsScreenSaverClass", saverRun.appInstance);
        saverRun.win9xPlatform = 0;
        refuseCreate = false;
    }

    // The saver window once it exists and its creation is over (the test
    // thread pumps meanwhile: a child window's creation talks to its parent
    // on this thread). The window can be found while WM_CREATE is still
    // being handled; a message sent to it returns only once its thread
    // reads messages again, that is after the creation.
    HWND Window(const char* title)
    {
        for (int i = 0; i < 1000 && !window_; ++i) {
            window_ = FindWindowExA(parent_, nullptr, "WindowsScreenSaverClass", title);
            if (!window_) PumpOnce();
        }
        DWORD_PTR answer;
        if (window_) SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
        return window_;
    }

    // Waits for RunSaverWindow to return; true when it did.
    bool Finished()
    {
        while (MsgWaitForMultipleObjects(1, &thread_, FALSE, 20000, QS_ALLINPUT) ==
               WAIT_OBJECT_0 + 1)
            PumpOnce();
        bool ended = WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0;
        if (ended) window_ = nullptr;
        return ended;
    }
    int Result() const { return result_; }

private:
    static DWORD WINAPI Run(void* self)
    {
        WindowRun* run = static_cast<WindowRun*>(self);
        run->result_ = RunSaverWindow(run->parent_, RecordingViewerProc);
        return 0;
    }
    HWND parent_;
    HWND window_ = nullptr;
    HANDLE thread_;
    int result_ = -1;
};

// A parent window for the preview that records what is posted to it.
struct ParentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<ParentMessage> parentGot;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HELP || message == WM_CONTEXTMENU) {
        parentGot.push_back({message, wParam, lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreatePreviewParent()
{
    RegisterTestClass("PreviewParentForTest", ParentProc);
    return CreateWindowExA(0, "PreviewParentForTest", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           10, 10, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

TEST(SaverWindowInProcess, PreviewHandsHelpAndContextMenuToItsParent)
{
    parentGot.clear();
    HWND parent = CreatePreviewParent();
    ASSERT_TRUE(parent);
    {
        WindowRun run(parent);
        HWND preview = run.Window("Preview");
        ASSERT_TRUE(preview);
        EXPECT_EQ(1, saverRun.previewMode);

        HELPINFO help = {};
        help.cbSize = sizeof help;
        LPARAM helpParam = reinterpret_cast<LPARAM>(&help);
        EXPECT_EQ(1, SendMessageA(preview, WM_HELP, 0, helpParam));
        EXPECT_EQ(1, SendMessageA(preview, WM_CONTEXTMENU, 0, 0x00640032));
        for (int i = 0; i < 500 && parentGot.empty(); ++i) PumpOnce();

        // The system refuses to post WM_HELP (its lParam points into the
        // sender's memory), so only the context menu arrives.
        ASSERT_EQ(1u, parentGot.size());
        EXPECT_EQ(UINT(WM_CONTEXTMENU), parentGot[0].message);
        EXPECT_EQ(reinterpret_cast<WPARAM>(parent), parentGot[0].wParam);
        EXPECT_EQ(0x00640032, parentGot[0].lParam);
        EXPECT_FALSE(ViewerSaw(WM_HELP));
        EXPECT_FALSE(ViewerSaw(WM_CONTEXTMENU));
    }
    DestroyWindow(parent);
}

// Being shown, painted or pointed at hides the cursor in full screen, never
// in a preview.
TEST(SaverWindowInProcess, OnlyTheFullScreenFormHidesTheCursor)
{
    struct Row {
        const char* rule;
        UINT message;
        bool hidesInFullScreen;
    };
    const Row rows[] = {
        {"WM_SHOWWINDOW shown hides", WM_SHOWWINDOW, true},
        {"WM_PAINT hides", WM_PAINT, true},
        {"WM_SETCURSOR hides", WM_SETCURSOR, true},
        {"an unrelated message leaves it", WM_NULL, false},
    };
    HWND parent = CreatePreviewParent();
    ASSERT_TRUE(parent);
    for (bool preview : {true, false}) {
        SCOPED_TRACE(preview ? "preview" : "full screen");
        WindowRun run(preview ? parent : nullptr);
        HWND window = run.Window(preview ? "Preview" : "Screen Saver");
        ASSERT_TRUE(window);
        for (const Row& row : rows) {
            SCOPED_TRACE(row.rule);
            bool shown = SendMessageA(window, arrowThen, row.message, 0) != 0;
            EXPECT_EQ(preview || !row.hidesInFullScreen, shown);
        }
    }
    DestroyWindow(parent);
}

TEST(SaverWindowInProcess, PreviewAnswersTheAutoPlayQueryAndCloses)
{
    HWND parent = CreatePreviewParent();
    ASSERT_TRUE(parent);
    {
        saverRun.win9xPlatform = 1;
        WindowRun run(parent);
        HWND preview = run.Window("Preview");
        ASSERT_TRUE(preview);
        UINT query = RegisterWindowMessageA("QueryCancelAutoPlay");
        EXPECT_EQ(0, SendMessageA(preview, query, 0, 0)) << "0 without a verifier";
        EXPECT_TRUE(run.Finished()) << "the query closes the preview too";
        EXPECT_EQ(0, run.Result());
    }
    DestroyWindow(parent);
}

TEST(SaverWindowInProcess, FullScreenHidesTheCursorAndFiltersSystemCommands)
{
    WindowRun run(nullptr);
    HWND window = run.Window("Screen Saver");
    ASSERT_TRUE(window);
    EXPECT_EQ(0, saverRun.previewMode);
    EXPECT_EQ(nullptr, reinterpret_cast<void*>(SendMessageA(window, cursorQuery, 0, 0)));

    // The title never changes, and the viewer never hears of the attempt.
    EXPECT_EQ(0, SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other")));
    char title[32];
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ("Screen Saver", title);
    EXPECT_FALSE(ViewerSaw(WM_SETTEXT));

    struct Command {
        const char* rule;
        WPARAM command;
        LRESULT answer;
    };
    const Command commands[] = {
        {"SC_SCREENSAVE answered 0", SC_SCREENSAVE, 0},
        {"SC_NEXTWINDOW answered 0", SC_NEXTWINDOW, 0},
        {"SC_PREVWINDOW answered 0", SC_PREVWINDOW, 0},
        {"SC_SCREENSAVE + 1 forwarded", SC_SCREENSAVE + 1, sysCommandSeen},
    };
    for (const Command& c : commands) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(c.answer, SendMessageA(window, WM_SYSCOMMAND, c.command, 0));
    }
    std::vector<UINT> seen = ViewerSaw();
    EXPECT_EQ(1, std::count(seen.begin(), seen.end(), UINT(WM_SYSCOMMAND)));
    EXPECT_TRUE(IsWindow(window));

    // SC_MONITORPOWER is forwarded and also closes the saver.
    EXPECT_EQ(sysCommandSeen, SendMessageA(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2));
    EXPECT_TRUE(run.Finished());
    EXPECT_EQ(0, run.Result());
    EXPECT_TRUE(ViewerSaw(WM_CLOSE));
}

// A user with a screen-saver password and the stand-in "PASSWORD.CPL" beside
// this program (its answers given per call), removed again at the end of the test.
class PasswordSetUp {
public:
    explicit PasswordSetUp(const char* answers)
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        log_ = std::string(temp) + "saver_password_test.log";
        DeleteFileA(log_.c_str());
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &desktop_, nullptr);
        DWORD on = 1;
        RegSetValueExA(desktop_, "ScreenSaveUsePassword", 0, REG_DWORD,
                       reinterpret_cast<BYTE*>(&on), 4);
        SetEnvironmentVariableA("ORMELIX_PASSWORD_LOG", log_.c_str());
        SetEnvironmentVariableA("ORMELIX_PASSWORD_ANSWERS", answers);
        saverRun.win9xPlatform = 1;
    }
    ~PasswordSetUp()
    {
        SetEnvironmentVariableA("ORMELIX_PASSWORD_NESTED", nullptr);
        SetEnvironmentVariableA("ORMELIX_PASSWORD_LOG", nullptr);
        RegDeleteValueA(desktop_, "ScreenSaveUsePassword");
        RegCloseKey(desktop_);
        DeleteFileA(log_.c_str());
    }
    // The verifier's record of its calls.
    std::string Log() const
    {
        HANDLE file = CreateFileA(log_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "";
        char text[256] = {};
        DWORD got = 0;
        ReadFile(file, text, sizeof text - 1, &got, nullptr);
        CloseHandle(file);
        return text;
    }

private:
    HKEY desktop_ = nullptr;
    std::string log_;
};

// The verifier's dialog may let input through: a key press and a WM_CLOSE
// arriving while it is up must neither close the saver nor ask again. A
// refusal hides the cursor again and measures mouse travel from where the
// cursor is now; at most two timer messages queued before the dialog are
// dropped so that the viewer does not run behind it.
TEST(SaverWindowInProcess, InputDuringVerificationIsDroppedAndARefusalResets)
{
    PasswordSetUp password("01");
    SetEnvironmentVariableA("ORMELIX_PASSWORD_NESTED", "1");
    {
        WindowRun run(nullptr);
        HWND window = run.Window("Screen Saver");
        ASSERT_TRUE(window);
        EXPECT_TRUE(saverRun.verifyPasswordProc != nullptr) << "stand-in PASSWORD.CPL not loaded";

        SendMessageA(window, shiftReference, 0, 0);
        // Refused: the nested close was dropped, nothing queued, the saver stays.
        EXPECT_EQ(0, SendMessageA(window, closeBehindTimers, 0, 0));
        EXPECT_TRUE(IsWindow(window));
        EXPECT_EQ(0u, saverRun.closeState.closeApproved);
        EXPECT_FALSE(saverRun.closeState.verifyInProgress);
        EXPECT_TRUE(cursorAfterClose == nullptr) << "cursor hidden after a refusal";
        POINT cursor;
        GetCursorPos(&cursor);
        EXPECT_EQ(cursor.x, saverRun.closeState.lastCursorPos.x) << "mouse reference taken afresh";
        EXPECT_EQ(cursor.y, saverRun.closeState.lastCursorPos.y) << "mouse reference taken afresh";
        // Posted messages arrive in order: once the third timer is seen, the
        // first two would have been seen too had they not been removed.
        for (int i = 0; i < 500 && !ViewerSaw(WM_TIMER); ++i) Sleep(10);
        {
            std::lock_guard<std::mutex> lock(seenLock);
            EXPECT_EQ(std::vector<WPARAM>{3}, timersSeen);
        }
        Sleep(verifyQuietMs + 50);  // past the quiet time after a verification

        // Accepted: the window goes.
        SendMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(run.Finished());
        EXPECT_EQ(0, run.Result());
    }
    EXPECT_EQ("asked 1 pending-close 0\r\nasked 2 pending-close 0\r\n", password.Log());
    EXPECT_EQ((std::vector<bool>{true, false}), runningCalls);
}

// The password library is released at the end of every run that got past the
// single-instance rule, also when the viewer refused the window: the
// screen-saver-running state must not outlive the saver. After a thread was
// given up on it is forgotten but not freed: freeing it would run its detach
// code, and the process ends at once anyway.
TEST(SaverWindowInProcess, RefusedWindowStillReleasesThePasswordLibrary)
{
    struct Row {
        const char* rule;
        bool threadAbandoned;
        bool stillLoaded;
    } rows[] = {
        {"freed", false, false},
        {"a thread given up on: not freed", true, true},
    };
    for (const Row& row : rows) {
        PasswordSetUp password("1");
        refuseCreate = true;
        saverRun.threadAbandoned = row.threadAbandoned;
        {
            WindowRun run(nullptr);
            ASSERT_TRUE(run.Finished()) << row.rule;
            EXPECT_EQ(0, run.Result()) << row.rule;
        }
        saverRun.threadAbandoned = false;
        HMODULE library = GetModuleHandleA("PASSWORD.CPL");
        EXPECT_EQ(row.stillLoaded, library != nullptr) << row.rule;
        if (library) FreeLibrary(library);
        EXPECT_EQ(nullptr, FindWindowA("WindowsScreenSaverClass", "Screen Saver")) << row.rule;
        EXPECT_TRUE(saverRun.verifyPasswordProc == nullptr) << row.rule;
        EXPECT_EQ((std::vector<bool>{true, false}), runningCalls) << row.rule;
        EXPECT_EQ("", password.Log()) << row.rule << ": nobody closed, nobody asked";
    }
}

// An input method already in use is detached from the saver window while it
// lives (so that keys reach the close rules) and given back when it goes.
TEST(SaverWindowInProcess, InputMethodDetachedWhileTheWindowLives)
{
    HWND parent = CreatePreviewParent();
    ASSERT_TRUE(parent);
    ASSERT_TRUE(HasInputContext(parent)) << "an ordinary window has an input context here";
    DestroyWindow(parent);

    imeContextAtCreate = true;
    imeContextAtDestroy = false;
    {
        WindowRun run(nullptr);
        HWND window = run.Window("Screen Saver");
        ASSERT_TRUE(window);
        EXPECT_FALSE(imeContextAtCreate) << "detached on WM_CREATE";
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(run.Finished());
    }
    EXPECT_TRUE(imeContextAtDestroy) << "given back on WM_DESTROY";
}

}  // namespace
