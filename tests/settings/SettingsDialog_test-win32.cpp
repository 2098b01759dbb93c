// The settings dialog as the shell runs it: modal, from template 2003, with
// SettingsDialogProc and a fake engine. The dialog runs on a thread of its own
// while the test drives it with messages and reads its controls back.
#include "settings/SettingsDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "MessageBoxWatcher.h"
#include "RecordingEngine.h"
#include "settings/ViewerSettings.h"
#include "settings/resource.h"

namespace {

// What the dialog is handed: these settings, and a binding that, unless told
// to fail, binds the engine with the values stored for it, as the real
// binding does after a successful load; a failed binding leaves everything
// as it stands.
struct FakeBinding {
    RecordingEngine* engine = nullptr;
    bool succeeds = true;
    int32_t storedDelay = 0;
    uint8_t storedDoNotQuit = 0;
    uint8_t storedPreview = 0;
    HWND boundWindow = nullptr;  // the window Bind was handed
    EngineControl* bound = nullptr;
};
FakeBinding binding;
ViewerSettings viewerSettings;

void Bind(HWND window)
{
    binding.boundWindow = window;
    if (!binding.succeeds) return;
    binding.bound = binding.engine;
    viewerSettings.SetInstallDirectory("C:\\fake install");
    viewerSettings.SetEngineCore(binding.engine->GetCore());
    viewerSettings.frameDelay = binding.storedDelay;
    viewerSettings.doNotQuit = binding.storedDoNotQuit;
    viewerSettings.previewEnabled = binding.storedPreview;
}

void Release()
{
    if (binding.bound) binding.bound->Destroy(1);
    binding.bound = nullptr;
}

// The saved frame delay, or false if no 4-byte "SCTI" chunk was written.
bool SavedDelay(const RecordingEngine& engine, int32_t* delay)
{
    auto chunk = engine.saved.find("SCTI");
    if (chunk == engine.saved.end() || chunk->second.size() != 4) return false;
    std::memcpy(delay, chunk->second.data(), 4);
    return true;
}

// The saved byte of a one-byte flag chunk, or -1 if it was not written.
int SavedFlag(const RecordingEngine& engine, const char* code)
{
    auto chunk = engine.saved.find(code);
    if (chunk == engine.saved.end() || chunk->second.size() != 1) return -1;
    return chunk->second[0];
}

std::string TextOf(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Runs DialogBoxParamA on a thread of its own, as the shell would.
class ModalDialog {
public:
    ModalDialog()
    {
        thread_ = CreateThread(nullptr, 0, &ModalDialog::Run, this, 0, nullptr);
        for (int i = 0; i < 500 && !binding.boundWindow; ++i) Sleep(10);
        dialog = binding.boundWindow;
        // Answered only once the modal loop runs, so the controls are filled.
        if (dialog) SendMessageA(dialog, WM_NULL, 0, 0);
    }
    ~ModalDialog()
    {
        if (WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT) {
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            WaitForSingleObject(thread_, 5000);
        }
        CloseHandle(thread_);
    }
    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    // The dialog's result, once it has closed; -2 if it is still open after 5 s.
    INT_PTR WaitClosed()
    {
        if (WaitForSingleObject(thread_, 5000) != WAIT_OBJECT_0) return -2;
        return result_;
    }
    HWND dialog = nullptr;

private:
    static DWORD WINAPI Run(void* self)
    {
        auto* modal = static_cast<ModalDialog*>(self);
        static const DialogParts fakeBinding = {&viewerSettings, Bind, Release};
        modal->result_ =
            DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr,
                            SettingsDialogProc, reinterpret_cast<LPARAM>(&fakeBinding));
        return 0;
    }
    HANDLE thread_ = nullptr;
    INT_PTR result_ = -3;
};

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(1, InitDialogControls(GetModuleHandleA(nullptr)));
        Reset();
    }
    // A fresh fake engine and binding and zero settings, as in a new process.
    void Reset()
    {
        log.Clear();
        engine = std::make_unique<RecordingEngine>(log);
        binding = FakeBinding();
        binding.engine = engine.get();
        viewerSettings.engineCore = nullptr;
        viewerSettings.frameDelay = 0;
        viewerSettings.doNotQuit = 0;
        viewerSettings.previewEnabled = 0;
        viewerSettings.dialog = nullptr;
    }
    void TearDown() override
    {
        for (const SeenBox& box : boxes.Boxes(100)) ADD_FAILURE() << "unexpected box: " << box.text;
        binding = FakeBinding();
    }

    CallLog log;
    std::unique_ptr<RecordingEngine> engine;
    MessageBoxWatcher boxes;
};

// The controls as built, in template (and so tab) order.
TEST_F(SettingsDialogTest, ControlsTextsAndTabOrderAsBuilt)
{
    struct ExpectedControl {
        int id;
        const char* className;
        const char* text;
    };
    const ExpectedControl expected[] = {
        {IDOK, "Button", "OK"},
        {IDC_FRAME_DELAY_SLIDER, "msctls_trackbar32", nullptr},  // text is the trackbar's own
        {0xFFFF, "Static", "Maximum frame rate (lower will use less processing power):"},
        {IDC_FRAME_RATE_TEXT, "Edit", "unlimited"},  // filled from the stored delay, here 0
        {0xFFFF, "Static", "Lowest"},
        {0xFFFF, "Static", "Highest"},
        {IDC_DO_NOT_QUIT, "Button", "Do not force screensaver to quit on user action."},
        {IDC_ENABLE_PREVIEW, "Button", "Enable preview."},
    };
    ModalDialog modal;
    ASSERT_TRUE(modal.dialog);
    EXPECT_EQ("Ormelix Screensaver", TextOf(modal.dialog));

    HWND control = GetWindow(modal.dialog, GW_CHILD);
    for (const ExpectedControl& want : expected) {
        ASSERT_TRUE(control) << "missing control " << want.id;
        char className[64] = "";
        GetClassNameA(control, className, sizeof className);
        EXPECT_EQ(want.id, GetDlgCtrlID(control) & 0xFFFF);
        EXPECT_STRCASEEQ(want.className, className) << "control " << want.id;
        if (want.text) {
            EXPECT_EQ(want.text, TextOf(control)) << "control " << want.id;
        }
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_FALSE(control) << "more controls than the template's eight";

    // Tab order: OK, slider, rate text, then the two check boxes, and round.
    const int tabOrder[] = {
        IDOK, IDC_FRAME_DELAY_SLIDER, IDC_FRAME_RATE_TEXT, IDC_DO_NOT_QUIT, IDC_ENABLE_PREVIEW,
        IDOK};
    HWND stop = modal.Item(IDOK);
    for (size_t i = 1; i < sizeof tabOrder / sizeof tabOrder[0]; ++i) {
        stop = GetNextDlgTabItem(modal.dialog, stop, FALSE);
        EXPECT_EQ(tabOrder[i], GetDlgCtrlID(stop)) << "tab stop " << i;
    }

    HWND slider = modal.Item(IDC_FRAME_DELAY_SLIDER);
    EXPECT_EQ(1, SendMessageA(slider, TBM_GETRANGEMIN, 0, 0));
    EXPECT_EQ(100, SendMessageA(slider, TBM_GETRANGEMAX, 0, 0));
    EXPECT_TRUE(GetWindowLongA(modal.Item(IDC_FRAME_RATE_TEXT), GWL_STYLE) & ES_READONLY);
}

// What the dialog shows for the stored settings, and what closing with OK
// writes back when nothing was touched.
TEST_F(SettingsDialogTest, ShowsStoredSettingsAndSavesThemUntouched)
{
    struct Row {
        const char* rule;
        int32_t storedDelay;
        uint8_t storedDoNotQuit, storedPreview;
        int slider;
        const char* text;
        LRESULT doNotQuitCheck, previewCheck;
        int32_t savedDelay;
        int savedDoNotQuit, savedPreview;
    };
    const Row rows[] = {
        {"delay inside the range", 20, 0, 0, 20, "50 FPS", BST_UNCHECKED, BST_UNCHECKED, 20, 0, 0},
        {"delay above 100 clamps", 250, 1, 0, 100, "4 FPS", BST_CHECKED, BST_UNCHECKED, 100, 1, 0},
        {"negative delay clamps", -5, 0, 1, 1, "-200 FPS", BST_UNCHECKED, BST_CHECKED, 1, 0, 1},
        {"no delay has no rate", 0, 1, 1, 1, "unlimited", BST_CHECKED, BST_CHECKED, 1, 1, 1},
        {"any non-zero flag is on", 7, 2, 255, 7, "142 FPS", BST_CHECKED, BST_CHECKED, 7, 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        Reset();
        binding.storedDelay = row.storedDelay;
        binding.storedDoNotQuit = row.storedDoNotQuit;
        binding.storedPreview = row.storedPreview;
        ModalDialog modal;
        ASSERT_TRUE(modal.dialog);
        EXPECT_EQ(row.slider, SendMessageA(modal.Item(IDC_FRAME_DELAY_SLIDER), TBM_GETPOS, 0, 0));
        EXPECT_EQ(row.text, TextOf(modal.Item(IDC_FRAME_RATE_TEXT)));
        EXPECT_EQ(row.doNotQuitCheck, SendMessageA(modal.Item(IDC_DO_NOT_QUIT), BM_GETCHECK, 0, 0));
        EXPECT_EQ(row.previewCheck,
                  SendMessageA(modal.Item(IDC_ENABLE_PREVIEW), BM_GETCHECK, 0, 0));

        PostMessageA(modal.Item(IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(0, modal.WaitClosed());
        int32_t savedDelay = 0;
        EXPECT_TRUE(SavedDelay(*engine, &savedDelay));
        EXPECT_EQ(row.savedDelay, savedDelay);
        EXPECT_EQ(row.savedDoNotQuit, SavedFlag(*engine, "SCQC"));
        EXPECT_EQ(row.savedPreview, SavedFlag(*engine, "SCSP"));
        EXPECT_EQ(row.savedDelay, viewerSettings.frameDelay);
    }
}

// Slider keys and every horizontal scroll message (whatever control it names
// and whatever its scroll code) move the delay and the rate text at once,
// before any save.
TEST_F(SettingsDialogTest, SliderInputUpdatesDelayAndTextAtOnce)
{
    struct Row {
        const char* rule;
        int32_t start;
        WPARAM key;       // 0: no key; the thumb is moved to 40 behind the dialog's back
        WORD code;        // with key 0: the scroll code of the WM_HSCROLL then sent
        int fromControl;  // with key 0: the control it names, 0 for none
        int32_t delay;
        const char* text;
    };
    const Row rows[] = {
        {"Home goes to the left end", 50, VK_HOME, 0, 0, 1, "1000 FPS"},
        {"End goes to the right end", 50, VK_END, 0, 0, 100, "10 FPS"},
        {"Right adds one", 2, VK_RIGHT, 0, 0, 3, "333 FPS"},
        {"a key from a negative delay starts at the clamped position", -5, VK_RIGHT, 0, 0, 2,
         "500 FPS"},
        {"end of a drag on the slider", 20, 0, SB_ENDSCROLL, IDC_FRAME_DELAY_SLIDER, 40, "25 FPS"},
        {"thumb position on the slider", 20, 0, TB_THUMBPOSITION, IDC_FRAME_DELAY_SLIDER, 40,
         "25 FPS"},
        {"a scroll naming no control", 20, 0, SB_LINERIGHT, 0, 40, "25 FPS"},
        {"a scroll naming another control", 20, 0, SB_PAGELEFT, IDC_DO_NOT_QUIT, 40, "25 FPS"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        Reset();
        binding.storedDelay = row.start;
        ModalDialog modal;
        ASSERT_TRUE(modal.dialog);
        HWND slider = modal.Item(IDC_FRAME_DELAY_SLIDER);
        if (row.key) {
            SendMessageA(slider, WM_KEYDOWN, row.key, 1);
            SendMessageA(slider, WM_KEYUP, row.key, 0xC0000001);
        } else {
            // TBM_SETPOS moves the thumb without telling the dialog.
            SendMessageA(slider, TBM_SETPOS, TRUE, 40);
            ASSERT_EQ(row.start, viewerSettings.frameDelay);
            LPARAM control =
                row.fromControl ? reinterpret_cast<LPARAM>(modal.Item(row.fromControl)) : 0;
            SendMessageA(modal.dialog, WM_HSCROLL, MAKEWPARAM(row.code, 0), control);
        }
        EXPECT_EQ(row.delay, SendMessageA(slider, TBM_GETPOS, 0, 0));
        EXPECT_EQ(row.delay, viewerSettings.frameDelay);
        EXPECT_EQ(row.text, TextOf(modal.Item(IDC_FRAME_RATE_TEXT)));
        EXPECT_TRUE(engine->saved.empty()) << "saved before closing";
    }
}

// Only a command whose low word is IDOK ends the dialog, with result 0;
// IDCANCEL (Esc, the close button) and the check boxes' commands do not.
TEST_F(SettingsDialogTest, OnlyTheOkCommandEndsTheDialog)
{
    struct Row {
        const char* rule;
        WPARAM command;
        bool ends;
    };
    const Row rows[] = {
        {"IDCANCEL is ignored", IDCANCEL, false},
        {"a check box click is not OK", MAKEWPARAM(IDC_DO_NOT_QUIT, BN_CLICKED), false},
        {"OK from an accelerator: only the low word counts", MAKEWPARAM(IDOK, 1), true},
        {"OK clicked", MAKEWPARAM(IDOK, BN_CLICKED), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        Reset();
        ModalDialog modal;
        ASSERT_TRUE(modal.dialog);
        SendMessageA(modal.dialog, WM_COMMAND, row.command, 0);
        // EndDialog hides the dialog at once, before its loop ends.
        EXPECT_EQ(!row.ends, IsWindowVisible(modal.dialog) != FALSE);
        if (row.ends) {
            EXPECT_EQ(0, modal.WaitClosed());
            EXPECT_GE(SavedFlag(*engine, "SCQC"), 0) << "closing saves";
        } else {
            EXPECT_TRUE(engine->saved.empty()) << "saved without closing";
        }
    }
}

// FillDialog's messages to the controls, in order and with their exact
// parameters: the range without redraw, the position with redraw, the two
// check states, then the rate text from the stored delay.
TEST_F(SettingsDialogTest, FillDialogSendsTheControlsTheirSettingsInOrder)
{
    struct Sent {
        int control;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;  // WM_SETTEXT: 0, the text is in `text`
        std::string text;
        bool operator==(const Sent& o) const
        {
            return control == o.control && message == o.message && wParam == o.wParam &&
                   lParam == o.lParam && text == o.text;
        }
    };
    static std::vector<Sent>* recorded;
    struct Recorder {
        static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
        {
            auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
            switch (sent->message) {
            case TBM_SETRANGE:
            case TBM_SETPOS:
            case BM_SETCHECK:
                recorded->push_back(
                    {GetDlgCtrlID(sent->hwnd), sent->message, sent->wParam, sent->lParam, ""});
                break;
            case WM_SETTEXT:
                recorded->push_back({GetDlgCtrlID(sent->hwnd), sent->message, sent->wParam, 0,
                                     reinterpret_cast<const char*>(sent->lParam)});
                break;
            }
            return CallNextHookEx(nullptr, code, wParam, lParam);
        }
        static INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
    };
    // The template without the settings procedure, so only FillDialog talks.
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS),
                                     nullptr, Recorder::Quiet, 0);
    ASSERT_TRUE(dialog);
    viewerSettings.frameDelay = 250;
    viewerSettings.doNotQuit = 1;
    viewerSettings.previewEnabled = 0;
    std::vector<Sent> sent;
    recorded = &sent;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, Recorder::Hook, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    viewerSettings.FillDialog(dialog);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(dialog, viewerSettings.dialog);
    DestroyWindow(dialog);

    const std::vector<Sent> expected = {
        {IDC_FRAME_DELAY_SLIDER, TBM_SETRANGE, 0, 0x00640001, ""},
        {IDC_FRAME_DELAY_SLIDER, TBM_SETPOS, 1, 250, ""},
        {IDC_DO_NOT_QUIT, BM_SETCHECK, BST_CHECKED, 0, ""},
        {IDC_ENABLE_PREVIEW, BM_SETCHECK, BST_UNCHECKED, 0, ""},
        {IDC_FRAME_RATE_TEXT, WM_SETTEXT, 0, 0, "4 FPS"},
    };
    ASSERT_EQ(expected.size(), sent.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(expected[i] == sent[i])
            << "message " << i + 1 << ": control " << sent[i].control << " message 0x" << std::hex
            << sent[i].message << " wParam " << sent[i].wParam << " lParam 0x" << sent[i].lParam
            << " text \"" << sent[i].text << "\"";
    }
}

// The file saver comes from the engine's core, so the settings are saved
// before the engine is destroyed, and no engine stays bound afterwards.
TEST_F(SettingsDialogTest, SavesBeforeDestroyingTheEngine)
{
    ModalDialog modal;
    ASSERT_TRUE(modal.dialog);
    SendMessageA(modal.dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0, modal.WaitClosed());
    // The chunks in between are the settings file's own test's business.
    std::vector<std::string> calls = log.Lines();
    ASSERT_LE(4u, calls.size());
    const std::vector<std::string> expected = {"GetCore", "CreateObject saver 0 0",
                                               "saver Open C:\\fake install\\screensaver.cfg 0",
                                               "saver Finish", "Destroy 1"};
    EXPECT_EQ(expected, (std::vector<std::string>{calls[0], calls[1], calls[2],
                                                  calls[calls.size() - 2], calls.back()}));
    EXPECT_EQ(nullptr, binding.bound);
}

// After a failed binding the dialog still opens with the settings as they
// stand, closes cleanly and touches no engine.
TEST_F(SettingsDialogTest, FailedBindingStillOpensAndCloses)
{
    binding.succeeds = false;
    ModalDialog modal;
    ASSERT_TRUE(modal.dialog);
    EXPECT_EQ(1, SendMessageA(modal.Item(IDC_FRAME_DELAY_SLIDER), TBM_GETPOS, 0, 0));
    EXPECT_EQ("unlimited", TextOf(modal.Item(IDC_FRAME_RATE_TEXT)));
    PostMessageA(modal.Item(IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(0, modal.WaitClosed());
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_EQ(nullptr, binding.bound);
    EXPECT_EQ(1, viewerSettings.frameDelay);
}

}  // namespace
