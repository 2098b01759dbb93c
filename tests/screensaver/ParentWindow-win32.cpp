// A plain top-level window for tests that need a real window number on a
// command line: prints its handle in decimal, then lives until closed or
// for the number of seconds given as its argument (30 by default).
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    HWND window =
        CreateWindowExA(0, "STATIC", "Test parent window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                        300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) return 1;
    SetForegroundWindow(window);
    printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    fflush(stdout);
    SetTimer(nullptr, 0, 1000u * (argc > 1 ? atoi(argv[1]) : 30), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER)
        DispatchMessageA(&message);
    return 0;
}
