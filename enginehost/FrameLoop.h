// The frame thread's loop: render a frame, pause until the configured delay
// has passed since the frame began, until told to stop. Portable, with the
// engine and the clock behind an interface.
#pragma once

#include <stdint.h>

class FrameLoopHost {
public:
    // Whether the loop is to go on (read before every frame).
    virtual bool KeepRunning() = 0;
    // Renders one frame when an engine is bound.
    virtual void RenderFrame() = 0;
    // The delay between frames, in milliseconds.
    virtual int32_t FrameDelay() = 0;
    // A millisecond clock; it may wrap around.
    virtual uint32_t NowMilliseconds() = 0;
    virtual void Pause(int32_t milliseconds) = 0;

protected:
    ~FrameLoopHost() = default;
};

// Runs frames until KeepRunning() answers false. The pause after a frame is
// the delay less the time the frame took, so frames start every delay
// milliseconds while a frame takes less than that; a delay of 0 or less
// means no pause at all: frames follow each other back to back.
void RunFrameLoop(FrameLoopHost& host);
