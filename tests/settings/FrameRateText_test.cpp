// The frame-rate text beside the frame-delay slider, over ordinary delays and
// the extremes of a 32-bit delay.
#include "settings/FrameRateText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

struct FrameRateCase {
    int32_t delay;
    const char* expected;
};

TEST(FrameRateText, ShowsThousandDividedByDelay)
{
    const FrameRateCase cases[] = {
        {1, "1000 FPS"},                       // the slider's left end
        {3, "333 FPS"},                        // division truncates
        {7, "142 FPS"},                        // division truncates
        {20, "50 FPS"},     {100, "10 FPS"},   // the slider's right end
        {250, "4 FPS"},                        // a stored delay beyond the slider's range
        {1001, "0 FPS"},                       // rates below one frame a second truncate to 0
        {-5, "-200 FPS"},                      // negative stored delay: minus sign in front
        {-1, "-1000 FPS"},                     // the longest text
        {-1000, "-1 FPS"},  {-1001, "0 FPS"},  // truncation toward zero gives no "-0"
        {INT_MAX, "0 FPS"},                    // largest 32-bit delay
        {INT_MIN, "0 FPS"},                    // smallest 32-bit delay
        {0, "unlimited"},                      // no delay has no rate and must not divide by zero
    };
    for (const FrameRateCase& c : cases) {
        char text[frameRateTextSize];
        std::memset(text, 'x', sizeof text);
        FrameRateText(c.delay, text);
        EXPECT_STREQ(c.expected, text) << "delay " << c.delay;
    }
}

}  // namespace
