// Finds message boxes by their dialog class, reads caption, text and icon,
// and presses OK on them.
#include "MessageBoxWatcher.h"

#include <algorithm>

namespace {

const char* IconName(HWND box)
{
    struct Known {
        LPCSTR id;
        const char* name;
    };
    static const Known known[] = {
        {IDI_HAND, "error"},
        {IDI_EXCLAMATION, "warning"},
        {IDI_ASTERISK, "information"},
        {IDI_QUESTION, "question"},
    };
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        HICON shown = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        for (const Known& k : known)
            if (shown && shown == LoadIconA(nullptr, k.id)) return k.name;
    }
    return "none";
}

// The box's message: the longest static text among its children.
std::string BoxText(HWND box)
{
    std::string best;
    char className[32], text[2048];
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") != 0) continue;
        GetWindowTextA(child, text, sizeof text);
        if (strlen(text) > best.size()) best = text;
    }
    return best;
}

// A message box holds only static texts, its icon and push buttons; any
// other dialog of the program under test (the settings dialog, say) has
// other controls and is left alone.
bool LooksLikeMessageBox(HWND window)
{
    // A message box is never minimised; a setup program's window can be.
    if (GetWindowLongA(window, GWL_STYLE) & WS_MINIMIZEBOX) return false;
    char className[32];
    bool hasButton = false;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Button") == 0) {
            LONG kind = GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
            if (kind != BS_PUSHBUTTON && kind != BS_DEFPUSHBUTTON) return false;
            hasButton = true;
        } else if (lstrcmpiA(className, "Static") != 0) {
            return false;
        }
    }
    return hasButton;
}

}  // namespace

MessageBoxWatcher::MessageBoxWatcher(DWORD processId)
    : processId_(processId ? processId : GetCurrentProcessId()),
      lastChange_(GetTickCount()),
      thread_(&MessageBoxWatcher::Watch, this)
{
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    stop_ = true;
    thread_.join();
}

void MessageBoxWatcher::Watch()
{
    while (!stop_) {
        EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(this));
        Sleep(20);
    }
}

BOOL CALLBACK MessageBoxWatcher::VisitWindow(HWND window, LPARAM self)
{
    reinterpret_cast<MessageBoxWatcher*>(self)->Inspect(window);
    return TRUE;
}

void MessageBoxWatcher::Inspect(HWND window)
{
    char className[16];
    if (!IsWindowVisible(window) || !GetClassNameA(window, className, sizeof className) ||
        lstrcmpA(className, "#32770") != 0)
        return;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (processId_ != anyProcess && owner != processId_) return;
    if (!LooksLikeMessageBox(window)) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (std::find(dismissed_.begin(), dismissed_.end(), window) != dismissed_.end()) return;
    }
    SeenBox box;
    char caption[512];
    GetWindowTextA(window, caption, sizeof caption);
    box.caption = caption;
    box.text = BoxText(window);
    box.owner = GetWindow(window, GW_OWNER);
    box.icon = IconName(window);
    box.processId = owner;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_.push_back(box);
        dismissed_.push_back(window);
        lastChange_ = GetTickCount();
    }
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
}

std::vector<SeenBox> MessageBoxWatcher::Boxes(DWORD settleMs)
{
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (GetTickCount() - lastChange_ >= settleMs) return boxes_;
        }
        Sleep(20);
    }
}

std::vector<SeenBox> MessageBoxWatcher::WaitForBoxes(size_t count, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (boxes_.size() >= count || GetTickCount() - start >= timeoutMs) return boxes_;
        }
        Sleep(20);
    }
}
