// The executable's entry point. The viewer is linked without the C runtime's
// start-up code, which would be a third of its size and does nothing the
// viewer needs but run the static constructors; this runs them, then hands
// over to SaverEntry, which never returns. Here the program hands the shell
// the viewer's parts.
#include "enginehost/EngineBinding.h"
#include "enginehost/SystemViewerPlatform.h"
#include "enginehost/ViewerWindowProc.h"
#include "screensaver/SaverRun.h"

extern "C" void __main();  // the runtime's static-constructor walk, run once

// The process always ends through ExitProcess or TerminateProcess, which run
// no exit handlers, so the destructors that static objects register here are
// never wanted. Without the start-up code the runtime's own atexit is not
// usable.
extern "C" int atexit(void (*)()) { return 0; }

extern "C" void SaverStartup()
{
    __main();
    static const ViewerParts viewer = {ViewerWindowProc,
                                       {&saverRun.viewerSettings, BindEngine, ReleaseEngine}};
    saverRun.viewerPlatform = &SystemViewerPlatform();
    SaverEntry(viewer);
}
