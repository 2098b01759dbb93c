// The frame loop: a frame, then the pause the settings give at that moment,
// until told to stop; no pause for a delay of 0 or less.
#include "host/FrameLoop.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Runs a fixed number of turns and records frames and pauses in order.
class ScriptedHost final : public FrameLoopHost {
public:
    ScriptedHost(int turns, std::vector<int32_t> delays) : turnsLeft(turns), delays(delays) {}

    bool KeepRunning() override { return turnsLeft-- > 0; }
    void RenderFrame() override { log += "F"; }
    int32_t FrameDelay() override
    {
        int32_t delay = delays[next % delays.size()];
        ++next;
        return delay;
    }
    void Pause(int32_t ms) override { log += "P" + std::to_string(ms); }

    int turnsLeft;
    std::vector<int32_t> delays;
    size_t next = 0;
    std::string log;
};

struct LoopCase {
    const char* rule;
    int turns;
    std::vector<int32_t> delays;
    const char* expected;
};

TEST(FrameLoop, FramesFollowTheDelay)
{
    const LoopCase cases[] = {
        // Stopped before the first turn: nothing at all.
        {"stopped on entry", 0, {20}, ""},
        // Every frame is followed by the configured pause.
        {"delay 20", 3, {20}, "FP20FP20FP20"},
        // A delay of 0 runs frames back to back.
        {"delay 0", 3, {0}, "FFF"},
        // A negative delay counts as no pause, never as a huge unsigned sleep.
        {"negative delay", 2, {-5}, "FF"},
        // The delay is read after every frame, so a changed setting applies at once.
        {"delay read each turn", 3, {10, 0, 50}, "FP10FFP50"},
    };
    for (const LoopCase& c : cases) {
        ScriptedHost host(c.turns, c.delays);
        RunFrameLoop(host);
        EXPECT_EQ(c.expected, host.log) << c.rule;
    }
}

}  // namespace
