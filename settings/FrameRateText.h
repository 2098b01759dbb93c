// The frames-per-second text shown beside the frame-delay slider: 1000 divided
// by the delay in milliseconds, "50 FPS" for 20.
#pragma once

#include <stdint.h>

// Holds the longest text, "-1000 FPS", with its terminator.
constexpr int frameRateTextSize = 20;

// Writes the decimal form of 1000 / delay (signed division, truncated toward
// zero) followed by " FPS". A delay of 0 has no rate and gives "unlimited".
void FrameRateText(int32_t delay, char (&text)[frameRateTextSize]);
