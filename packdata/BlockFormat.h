// Constants of the data block appended to the viewer, shared by the reader
// and the packing tool.
#pragma once

#include <stdint.h>

#include "common/BoundedText.h"

const int blockMagicLength = 36;
// Name and group fields hold at most textSize bytes, their terminating zero
// included.
const int blockNameFieldSize = textSize;
// The shipped block: one entry of this group and name, this many data bytes.
const char* const shippedGroupName = "APPDATA";
const char* const shippedEntryName = "PROJECTNAME";
const int shippedDataSize = textLimit;

// Writes the 36 characters of the magic (no terminating zero) to out. The
// program holds the magic only as two halves, so that the scan for it never
// stops at the program's own copy.
void JoinBlockMagic(char out[blockMagicLength]);
