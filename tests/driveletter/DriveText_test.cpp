// The drive-letter text as a pure function of the logical-drive mask.
#include "DriveText.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

constexpr uint32_t Drive(char letter) { return uint32_t{1} << (letter - 'A'); }

TEST(DriveText, FollowsTheMaskRules)
{
    struct Case {
        const char* rule;
        uint32_t mask;
        const char* expected;
    } cases[] = {
        // No drive at all gives the empty text.
        {"no drives", 0, ""},
        // Every letter, the last included, is followed by a semicolon; no blanks.
        {"A, C and D", Drive('A') | Drive('C') | Drive('D'), "A;C;D;"},
        // Letters come in increasing order whatever the bit pattern.
        {"only Z", Drive('Z'), "Z;"},
        {"A and Z", Drive('A') | Drive('Z'), "A;Z;"},
        // All 26 drives give 52 characters.
        {"A to Z", (uint32_t{1} << 26) - 1, "A;B;C;D;E;F;G;H;I;J;K;L;M;N;O;P;Q;R;S;T;U;V;W;X;Y;Z;"},
        // Bits above 25 continue the character codes: bit 26 is '['.
        {"bit 26", uint32_t{1} << 26, "[;"},
        {"bit 31", uint32_t{1} << 31, "`;"},
        // Every bit gives the longest text, 64 characters.
        {"all 32 bits", 0xFFFFFFFFu,
         "A;B;C;D;E;F;G;H;I;J;K;L;M;N;O;P;Q;R;S;T;U;V;W;X;Y;Z;[;\\;];^;_;`;"},
    };
    for (const Case& c : cases) {
        char text[driveTextSize];
        memset(text, 'x', sizeof text);
        int length = BuildDriveText(c.mask, text);
        EXPECT_STREQ(c.expected, text) << c.rule;
        EXPECT_EQ(static_cast<int>(strlen(c.expected)), length) << c.rule;
    }
}

}  // namespace
