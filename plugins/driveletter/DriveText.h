// The drive-letter channel's text: the drives of a logical-drive mask as
// letters, each followed by a semicolon ("A;C;D;").
#pragma once

#include <stdint.h>

// Room for the longest text (32 bits, two characters each) and its terminator.
constexpr int driveTextSize = 65;

// Writes the text for driveMask to out (driveTextSize bytes) and returns its
// length. Bit i stands for the character 65 + i: A for bit 0, Z for bit 25;
// the platform sets no higher bit, but one that is set follows the same rule.
// A mask of 0 gives the empty text.
int BuildDriveText(uint32_t driveMask, char* out);
