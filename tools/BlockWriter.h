// Writes the data block that the viewer reads from the end of its own file:
// the reference writer used by saverpack and by the tests.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

struct BlockEntry {
    std::string group;
    std::string name;
    std::vector<uint8_t> data;
};

// The bytes of a block that starts at file offset blockOffset: magic, entry
// count, entry headers (with each entry's CRC-32), data offset, data of every
// entry in order, and the trailer holding blockOffset.
std::vector<uint8_t> BuildBlock(const std::vector<BlockEntry>& entries, uint32_t blockOffset);

// The shipped entry: group "APPDATA", name "PROJECTNAME", the project name's
// bytes (as the viewer reads them) zero-padded to 259 bytes; bytes past the
// 258th are cut off, so the data always ends with a zero byte.
BlockEntry ProjectNameEntry(const std::string& projectName);
