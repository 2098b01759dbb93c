// framecost.exe: measures what one Frame of an engine costs and what frame
// rate a plain sleep of the delay after each frame gives with it, so that the
// benchmark can set the viewer's paced frame loop beside that simpler loop.
// It binds drovik.dll from an install directory as the viewer does, plays the
// project in a screen-sized window (frames on a thread of their own, painting
// on the window thread) and prints:
//   frame-ms MEDIAN P90            cost of one Frame call, back to back
//   plain-sleep DELAY FPS          frames per second of Frame(); Sleep(DELAY)
// Usage: framecost INSTALLDIR PROJECTFILE
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "common/EngineInterface.h"

namespace {

EngineControl* engine;
std::atomic<bool> framesDone{false};

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1000.0 / frequency.QuadPart;
}

LRESULT CALLBACK PlayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (engine) engine->WindowMessage(window, message, wParam, lParam);
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * (values.size() - 1))];
}

DWORD WINAPI MeasureFrames(void*)
{
    for (int i = 0; i < 20; ++i)  // warm-up: fonts, buffers, caches
        engine->Frame();
    std::vector<double> costs;
    for (int i = 0; i < 300; ++i) {
        double begun = NowMs();
        engine->Frame();
        costs.push_back(NowMs() - begun);
        Sleep(1);  // let the window thread paint, as in a real run
    }
    std::printf("frame-ms %.3f %.3f\n", Percentile(costs, 0.5), Percentile(costs, 0.9));

    for (int delay : {10, 20, 50}) {
        const double span = 2000;
        double begun = NowMs();
        int frames = 0;
        double last = begun;
        while (last - begun < span) {
            engine->Frame();
            Sleep(static_cast<DWORD>(delay));
            ++frames;
            last = NowMs();
        }
        std::printf("plain-sleep %d %.1f\n", delay, frames * 1000.0 / (last - begun));
    }
    std::fflush(stdout);
    framesDone = true;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: framecost INSTALLDIR PROJECTFILE\n");
        return 2;
    }
    std::string directory = argv[1];
    // Plug-ins and their libraries are found the way the viewer arranges it.
    char path[4096] = {};
    GetEnvironmentVariableA("PATH", path, sizeof path);
    SetEnvironmentVariableA("PATH",
                            (directory + "\\channels;" + directory + "\\3rd;" + path).c_str());
    HMODULE library = LoadLibraryA((directory + "\\drovik.dll").c_str());
    FARPROC entry = library ? GetProcAddress(library, "GetEngineControlInstance") : nullptr;
    engine = entry
                 ? reinterpret_cast<GetEngineControlInstanceProc>(reinterpret_cast<void*>(entry))()
                 : nullptr;
    if (!engine) {
        std::fprintf(stderr, "framecost: no engine in %s\n", directory.c_str());
        return 1;
    }

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlayProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "OrmelixFrameCost";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST, "OrmelixFrameCost", "frame cost", WS_POPUP | WS_VISIBLE, 0,
                        0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                        nullptr, instance, nullptr);
    engine->SetInstallDir(directory.c_str());
    engine->SetRegistryKey("SOFTWARE\\Velcor\\Ormelix Viewers\\3.00.000");
    if (!window || !engine->Initialize(instance, "Ormelix", window)) {
        std::fprintf(stderr, "framecost: the engine refused the window\n");
        return 1;
    }
    engine->LoadProject(argv[2]);
    if (engine->Run() != 0) {
        std::fprintf(stderr, "framecost: the engine refused the project %s\n", argv[2]);
        return 1;
    }

    HANDLE thread = CreateThread(nullptr, 0, MeasureFrames, nullptr, 0, nullptr);
    while (!framesDone) {
        MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EngineControl* ending = engine;
    engine = nullptr;
    ending->Destroy(1);
    DestroyWindow(window);
    return 0;
}
