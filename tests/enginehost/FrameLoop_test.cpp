// The frame loop: a frame, then a pause that makes up the configured delay
// (read after every frame), until told to stop; no pause for a delay of 0 or
// less, nor when the frame itself took the whole delay.
#include "enginehost/FrameLoop.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Runs a fixed number of turns; each frame advances a fake clock by the
// given frame time. Records frames and pauses in order.
class ScriptedHost final : public FrameLoopHost {
public:
    ScriptedHost(int turns, std::vector<int32_t> delays, uint32_t frameTime, uint32_t clockStart)
        : turnsLeft(turns), delays(delays), frameTime(frameTime), clock(clockStart)
    {
    }

    bool KeepRunning() override { return turnsLeft-- > 0; }
    void RenderFrame() override
    {
        log += "F";
        clock += frameTime;
    }
    int32_t FrameDelay() override { return delays[next++ % delays.size()]; }
    uint32_t NowMilliseconds() override { return clock; }
    void Pause(int32_t ms) override
    {
        log += "P" + std::to_string(ms);
        clock += static_cast<uint32_t>(ms);
    }

    int turnsLeft;
    std::vector<int32_t> delays;
    uint32_t frameTime;
    uint32_t clock;
    size_t next = 0;
    std::string log;
};

struct LoopCase {
    const char* rule;
    int turns;
    std::vector<int32_t> delays;
    uint32_t frameTime;
    uint32_t clockStart;
    const char* expected;
};

TEST(FrameLoop, FramesStartEveryDelay)
{
    const LoopCase cases[] = {
        // Stopped before the first turn: nothing at all.
        {"stopped on entry", 0, {20}, 0, 0, ""},
        // An instant frame is followed by the whole delay.
        {"delay 20, instant frames", 3, {20}, 0, 0, "FP20FP20FP20"},
        // The frame's own time is taken off the pause.
        {"delay 20, 6 ms frames", 2, {20}, 6, 0, "FP14FP14"},
        // A frame as long as the delay, or longer, gets no pause.
        {"frame takes the delay", 2, {20}, 20, 0, "FF"},
        {"frame longer than the delay", 2, {20}, 35, 0, "FF"},
        // A delay of 0 runs frames back to back.
        {"delay 0", 3, {0}, 0, 0, "FFF"},
        // A negative delay counts as no pause, never as a huge unsigned sleep.
        {"negative delay", 2, {-5}, 0, 0, "FF"},
        // The delay is read after every frame, so a changed setting applies at once.
        {"delay read each turn", 3, {10, 0, 50}, 0, 0, "FP10FFP50"},
        // The clock wrapping around during a frame changes nothing.
        {"clock wraps", 1, {20}, 6, 0xFFFFFFFEu, "FP14"},
    };
    for (const LoopCase& c : cases) {
        ScriptedHost host(c.turns, c.delays, c.frameTime, c.clockStart);
        RunFrameLoop(host);
        EXPECT_EQ(c.expected, host.log) << c.rule;
    }
}

}  // namespace
