// saverprobe.exe: the end-to-end tests' eyes and hands on a saver window of
// another process.
//   saverprobe describe TITLE        prints the saver window's class, styles,
//                                    rectangle and parent, one "key=value" a line
//   saverprobe count TITLE           prints how many saver windows have that title
//   saverprobe post TITLE MSG WP LP  posts a message (numbers in decimal or 0x hex)
//   saverprobe autoplay TITLE        sends the "QueryCancelAutoPlay" message and
//                                    prints "answer=<result>"
//   saverprobe host WIDTH HEIGHT     opens a parent window with that client size,
//                                    prints "window=<handle>", then one line per
//                                    WM_HELP or WM_CONTEXTMENU it receives
//                                    ("contextmenu self=<wParam is me> lparam=<n>")
//                                    until it is closed
// Exit code 0 on success, 1 when the window is not found, 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static const char saverClass[] = "WindowsScreenSaverClass";

static HWND FindSaver(const char* title)
{
    return FindWindowExA(nullptr, nullptr, saverClass, title);
}

struct ChildSearch {
    const char* title;
    HWND found;
};

static BOOL CALLBACK SearchChildren(HWND window, LPARAM data)
{
    ChildSearch* search = reinterpret_cast<ChildSearch*>(data);
    search->found = FindWindowExA(window, nullptr, saverClass, search->title);
    return search->found == nullptr;
}

// Preview windows are children of another window: search the top windows' children too.
static HWND FindAnySaver(const char* title)
{
    HWND top = FindSaver(title);
    if (top) return top;
    ChildSearch search = {title, nullptr};
    EnumWindows(SearchChildren, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

static int Describe(const char* title)
{
    HWND window = FindAnySaver(title);
    if (!window) return 1;
    char className[64], text[64];
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, text, sizeof text);
    RECT r;
    GetWindowRect(window, &r);
    HWND parent = GetParent(window);
    RECT parentClient = {0, 0, 0, 0};
    if (parent) GetClientRect(parent, &parentClient);
    std::printf("class=%s\ntitle=%s\nstyle=0x%08lx\nexstyle=0x%08lx\nclassstyle=0x%lx\n", className,
                text, static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)),
                static_cast<unsigned long>(GetClassLongA(window, GCL_STYLE)));
    std::printf("size=%ldx%ld\nparent=%lu\nparentclient=%ldx%ld\n", r.right - r.left,
                r.bottom - r.top, static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(parent)),
                parentClient.right, parentClient.bottom);
    std::printf("screen=%d,%d,%dx%d\nposition=%ld,%ld\n", GetSystemMetrics(SM_XVIRTUALSCREEN),
                GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
                GetSystemMetrics(SM_CYVIRTUALSCREEN), r.left, r.top);
    return 0;
}

static int Count(const char* title)
{
    int count = 0;
    for (HWND w = FindSaver(title); w; w = FindWindowExA(nullptr, w, saverClass, title)) ++count;
    std::printf("%d\n", count);
    return 0;
}

static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HELP || message == WM_CONTEXTMENU) {
        std::printf("%s self=%d lparam=%ld\n", message == WM_HELP ? "help" : "contextmenu",
                    reinterpret_cast<HWND>(wParam) == window ? 1 : 0, static_cast<long>(lParam));
        std::fflush(stdout);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

static int Host(int width, int height)
{
    WNDCLASSA hostClass = {};
    hostClass.lpfnWndProc = HostProc;
    hostClass.hInstance = GetModuleHandleA(nullptr);
    hostClass.lpszClassName = "SaverProbeHost";
    RegisterClassA(&hostClass);
    RECT r = {0, 0, width, height};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE;
    AdjustWindowRect(&r, style, FALSE);
    HWND window =
        CreateWindowExA(0, "SaverProbeHost", "Preview host", style, 50, 50, r.right - r.left,
                        r.bottom - r.top, nullptr, nullptr, hostClass.hInstance, nullptr);
    if (!window) return 1;
    std::printf("window=%lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    std::fflush(stdout);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

static unsigned long Number(const char* text) { return std::strtoul(text, nullptr, 0); }

int main(int argc, char** argv)
{
    if (argc == 3 && !std::strcmp(argv[1], "describe")) return Describe(argv[2]);
    if (argc == 3 && !std::strcmp(argv[1], "count")) return Count(argv[2]);
    if (argc == 6 && !std::strcmp(argv[1], "post")) {
        HWND window = FindAnySaver(argv[2]);
        if (!window) return 1;
        return PostMessageA(window, Number(argv[3]), Number(argv[4]), Number(argv[5])) ? 0 : 1;
    }
    if (argc == 3 && !std::strcmp(argv[1], "autoplay")) {
        HWND window = FindAnySaver(argv[2]);
        if (!window) return 1;
        UINT query = RegisterWindowMessageA("QueryCancelAutoPlay");
        std::printf("answer=%ld\n", static_cast<long>(SendMessageA(window, query, 0, 0)));
        return 0;
    }
    if (argc == 4 && !std::strcmp(argv[1], "host"))
        return Host(std::atoi(argv[2]), std::atoi(argv[3]));
    std::fprintf(stderr, "usage: saverprobe describe|count|post|autoplay|host ...\n");
    return 2;
}
