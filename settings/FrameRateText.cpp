// Builds the frame-rate text without the printf family, so the shipped viewer
// stays small and free of anything that can throw.
#include "settings/FrameRateText.h"

void FrameRateText(int32_t delay, char (&text)[frameRateTextSize])
{
    static const char unlimited[] = "unlimited";
    static const char suffix[] = " FPS";
    int length = 0;
    if (delay == 0) {
        for (const char* c = unlimited; *c; ++c) text[length++] = *c;
        text[length] = '\0';
        return;
    }
    // |1000 / delay| is at most 1000, so the rate and its digits stay small
    // even for the extremes of a 32-bit delay.
    int32_t rate = 1000 / delay;
    if (rate < 0) {
        text[length++] = '-';
        rate = -rate;
    }
    char digits[4];
    int digitCount = 0;
    do {
        digits[digitCount++] = static_cast<char>('0' + rate % 10);
        rate /= 10;
    } while (rate != 0);
    while (digitCount > 0) text[length++] = digits[--digitCount];
    for (const char* c = suffix; *c; ++c) text[length++] = *c;
    text[length] = '\0';
}
