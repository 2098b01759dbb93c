// The frame thread's loop: render a frame, pause the configured delay, until
// told to stop. Portable, with the engine and the clock behind an interface.
#pragma once

#include <stdint.h>

class FrameLoopHost {
public:
    // Whether the loop is to go on (read before every frame).
    virtual bool KeepRunning() = 0;
    // Renders one frame when an engine is bound.
    virtual void RenderFrame() = 0;
    // The pause after each frame, in milliseconds.
    virtual int32_t FrameDelay() = 0;
    virtual void Pause(int32_t milliseconds) = 0;

protected:
    ~FrameLoopHost() = default;
};

// Runs frames until KeepRunning() answers false. A delay of 0 or less means
// no pause: frames follow each other back to back.
void RunFrameLoop(FrameLoopHost& host);
