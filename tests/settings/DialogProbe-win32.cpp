// dialogprobe: reads the open settings dialog of another process for the
// end-to-end tests, which drive it with real keys and clicks.
//   dialogprobe state        one line: slider=N text=T doNotQuit=C preview=C owner=H
//                            (check states as BM_GETCHECK gives them; owner as a
//                            decimal handle, 0 for none), or "none"
//   dialogprobe closebutton  "X Y": a screen point on the caption's close button
//   dialogprobe handle TITLE the decimal handle of the top-level window TITLE
//   dialogprobe fits         "whole", when every control lies inside the
//                            dialog's client area and the dialog on the
//                            screen, or the first one that does not
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "settings/resource.h"

namespace {

HWND FindDialog() { return FindWindowA("#32770", "Ormelix Screensaver"); }

unsigned long HandleNumber(HWND window)
{
    return static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window));
}

int PrintState()
{
    HWND dialog = FindDialog();
    if (!dialog) {
        std::puts("none");
        return 0;
    }
    char text[64] = "";
    // WM_GETTEXT is carried across processes; GetWindowTextA would not ask.
    SendMessageA(GetDlgItem(dialog, IDC_FRAME_RATE_TEXT), WM_GETTEXT, sizeof text,
                 reinterpret_cast<LPARAM>(text));
    std::printf(
        "slider=%ld text=%s doNotQuit=%ld preview=%ld owner=%lu\n",
        static_cast<long>(
            SendMessageA(GetDlgItem(dialog, IDC_FRAME_DELAY_SLIDER), TBM_GETPOS, 0, 0)),
        text,
        static_cast<long>(SendMessageA(GetDlgItem(dialog, IDC_DO_NOT_QUIT), BM_GETCHECK, 0, 0)),
        static_cast<long>(SendMessageA(GetDlgItem(dialog, IDC_ENABLE_PREVIEW), BM_GETCHECK, 0, 0)),
        HandleNumber(GetWindow(dialog, GW_OWNER)));
    return 0;
}

// Asks the dialog itself where its close button is, point by point along the
// caption from the right, so the answer holds for any frame and caption size.
int PrintCloseButton()
{
    HWND dialog = FindDialog();
    RECT frame;
    if (!dialog || !GetWindowRect(dialog, &frame)) return 1;
    for (int y = frame.top; y < frame.top + 40; ++y) {
        for (int x = frame.right - 1; x > frame.right - 60; --x) {
            if (SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                std::printf("%d %d\n", x - 4, y + 4);
                return 0;
            }
        }
    }
    return 1;
}

// A control's rectangle in its dialog's client coordinates.
RECT ClientRectOf(HWND dialog, HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

int PrintFit()
{
    HWND dialog = FindDialog();
    RECT client, frame;
    if (!dialog || !GetClientRect(dialog, &client) || !GetWindowRect(dialog, &frame)) return 1;
    RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                   GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                   GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (!Inside(frame, screen)) {
        std::printf("the dialog %ld,%ld-%ld,%ld is off the screen\n", frame.left, frame.top,
                    frame.right, frame.bottom);
        return 0;
    }
    for (HWND control = GetWindow(dialog, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
        RECT r = ClientRectOf(dialog, control);
        if (!Inside(r, client)) {
            std::printf("control %d at %ld,%ld-%ld,%ld outside the client area %ldx%ld\n",
                        GetDlgCtrlID(control), r.left, r.top, r.right, r.bottom, client.right,
                        client.bottom);
            return 0;
        }
    }
    std::printf("whole\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "state") == 0) return PrintState();
    if (argc == 2 && std::strcmp(argv[1], "closebutton") == 0) return PrintCloseButton();
    if (argc == 2 && std::strcmp(argv[1], "fits") == 0) return PrintFit();
    if (argc == 3 && std::strcmp(argv[1], "handle") == 0) {
        HWND window = FindWindowA(nullptr, argv[2]);
        std::printf("%lu\n", HandleNumber(window));
        return window ? 0 : 1;
    }
    std::fputs("usage: dialogprobe state | closebutton | fits | handle TITLE\n", stderr);
    return 2;
}
