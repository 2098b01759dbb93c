// displaymode.exe: reads and changes the display the way Windows programs do,
// for the end-to-end tests of the saver on several monitors.
//   displaymode list             "monitors=N screen=X,Y,WxH dpi=D", then one
//                                line per display device: "NAME WxH+X+Y" with
//                                " primary" on the primary, or "NAME detached"
//   displaymode set NAME=WxH[+X+Y] ...
//                                stores each device's new mode (and place),
//                                then applies them all at once: every top
//                                window gets WM_DISPLAYCHANGE; then, when a
//                                full-screen saver runs, "covered=MS": how
//                                long its window took to cover the new
//                                virtual screen, or "covered=no" after 5 s
// Exit code 0 on success, 1 when a change is malformed or refused, 2 on bad
// arguments.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

int List()
{
    HDC screen = GetDC(nullptr);
    std::printf("monitors=%d screen=%d,%d,%dx%d dpi=%d\n", GetSystemMetrics(SM_CMONITORS),
                GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    DISPLAY_DEVICEA device;
    device.cb = sizeof device;
    for (DWORD i = 0; EnumDisplayDevicesA(nullptr, i, &device, 0); ++i) {
        DEVMODEA mode = {};
        mode.dmSize = sizeof mode;
        if (!(device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) ||
            !EnumDisplaySettingsExA(device.DeviceName, ENUM_CURRENT_SETTINGS, &mode, 0)) {
            std::printf("%s detached\n", device.DeviceName);
            continue;
        }
        std::printf("%s %lux%lu%+ld%+ld%s\n", device.DeviceName, mode.dmPelsWidth,
                    mode.dmPelsHeight, mode.dmPosition.x, mode.dmPosition.y,
                    (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) ? " primary" : "");
    }
    return 0;
}

// Stores one "NAME=WxH[+X+Y]" without applying it; false on bad text or a refusal.
bool StoreMode(const char* change)
{
    char name[CCHDEVICENAME] = "";
    unsigned long width = 0, height = 0;
    long x = 0, y = 0;
    int fields = std::sscanf(change, "%31[^=]=%lux%lu%ld%ld", name, &width, &height, &x, &y);
    if (fields != 3 && fields != 5) {
        std::fprintf(stderr, "displaymode: not NAME=WxH[+X+Y]: %s\n", change);
        return false;
    }
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    if (fields == 5) {
        mode.dmFields |= DM_POSITION;
        mode.dmPosition.x = x;
        mode.dmPosition.y = y;
    }
    LONG result =
        ChangeDisplaySettingsExA(name, &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
    if (result == DISP_CHANGE_SUCCESSFUL) return true;
    std::fprintf(stderr, "displaymode: %s refused (%ld)\n", change, result);
    return false;
}

bool CoversVirtualScreen(HWND window)
{
    RECT r;
    return GetWindowRect(window, &r) && r.left == GetSystemMetrics(SM_XVIRTUALSCREEN) &&
           r.top == GetSystemMetrics(SM_YVIRTUALSCREEN) &&
           r.right - r.left == GetSystemMetrics(SM_CXVIRTUALSCREEN) &&
           r.bottom - r.top == GetSystemMetrics(SM_CYVIRTUALSCREEN);
}

void ReportCover()
{
    HWND saver = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
    if (!saver) return;
    DWORD start = GetTickCount();
    while (!CoversVirtualScreen(saver)) {
        if (GetTickCount() - start > 5000) {
            std::puts("covered=no");
            return;
        }
        Sleep(10);
    }
    std::printf("covered=%lu\n", GetTickCount() - start);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && !std::strcmp(argv[1], "list")) return List();
    if (argc >= 3 && !std::strcmp(argv[1], "set")) {
        for (int i = 2; i < argc; ++i)
            if (!StoreMode(argv[i])) return 1;
        LONG result = ChangeDisplaySettingsExA(nullptr, nullptr, nullptr, 0, nullptr);
        if (result == DISP_CHANGE_SUCCESSFUL) {
            ReportCover();
            return 0;
        }
        std::fprintf(stderr, "displaymode: applying the changes failed (%ld)\n", result);
        return 1;
    }
    std::fputs("usage: displaymode list | set NAME=WxH[+X+Y] ...\n", stderr);
    return 2;
}
