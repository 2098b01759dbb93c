// The frame loop shared by the viewer's frame thread and its tests.
#include "enginehost/FrameLoop.h"

void RunFrameLoop(FrameLoopHost& host)
{
    while (host.KeepRunning()) {
        uint32_t frameStart = host.NowMilliseconds();
        host.RenderFrame();
        int32_t delay = host.FrameDelay();
        if (delay <= 0) continue;
        // Unsigned difference: correct across a wrap of the clock.
        uint32_t frameTime = host.NowMilliseconds() - frameStart;
        if (frameTime < static_cast<uint32_t>(delay))
            host.Pause(delay - static_cast<int32_t>(frameTime));
    }
}
