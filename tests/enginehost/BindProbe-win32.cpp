// Drives the viewer's engine binding from a packed program, as the saver
// window and the settings dialog do, and reports what happened on stdout:
// each message box ("box caption|text|owner|icon", owner being "window" for
// the probe's own window), whether an engine is bound, and the settings.
//   bindprobe [twice] [save DELAY QUIT PREVIEW]
// "twice" binds a second time; "save" then stores the given values through
// the engine's FileSaver.
#include "enginehost/EngineBinding.h"
#include "enginehost/EngineHost.h"
#include "settings/ViewerSettings.h"
#include "screensaver/SaverRun.h"

#include "MessageBoxWatcher.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Report(const std::vector<SeenBox>& boxes, HWND window)
{
    for (const SeenBox& box : boxes) {
        const char* owner = box.owner == nullptr  ? "none"
                            : box.owner == window ? "window"
                                                  : "other";
        std::printf("box %s|%s|%s|%s\n", box.caption.c_str(), box.text.c_str(), owner,
                    box.icon.c_str());
    }
    std::printf("bound %d\n", engineHost.engineControl != nullptr ? 1 : 0);
    std::printf("settings %ld %d %d %s\n",
                static_cast<long>(engineHost.viewerSettings.FrameDelay()),
                engineHost.viewerSettings.DoNotQuit() ? 1 : 0,
                engineHost.viewerSettings.PreviewEnabled() ? 1 : 0,
                engineHost.viewerSettings.ProjectPath());
}

}  // namespace

int main(int argc, char** argv)
{
    saverRun.appInstance = GetModuleHandleA(nullptr);
    HWND window = CreateWindowExA(0, "STATIC", "bindprobe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150,
                                  nullptr, nullptr, saverRun.appInstance, nullptr);
    MessageBoxWatcher watcher;
    BindEngine(window);
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "twice") {
            BindEngine(window);
        } else if (argument == "save" && i + 3 < argc) {
            engineHost.viewerSettings.frameDelay = std::atoi(argv[i + 1]);
            engineHost.viewerSettings.doNotQuit = static_cast<uint8_t>(std::atoi(argv[i + 2]));
            engineHost.viewerSettings.previewEnabled = static_cast<uint8_t>(std::atoi(argv[i + 3]));
            engineHost.viewerSettings.Save();
            i += 3;
        }
    }
    Report(watcher.Boxes(), window);
    std::fflush(stdout);
    if (engineHost.engineControl != nullptr) engineHost.engineControl->Destroy(1);
    DestroyWindow(window);
    return 0;
}
