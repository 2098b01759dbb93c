// The frame loop shared by the viewer's frame thread and its tests.
#include "host/FrameLoop.h"

void RunFrameLoop(FrameLoopHost& host)
{
    while (host.KeepRunning()) {
        host.RenderFrame();
        int32_t delay = host.FrameDelay();
        if (delay > 0)
            host.Pause(delay);
    }
}
