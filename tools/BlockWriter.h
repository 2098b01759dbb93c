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

// The shipped entry: group "APPDATA", name "PROJECTNAME", the project name
// zero-padded to 259 bytes. The name must be at most 258 characters.
BlockEntry ProjectNameEntry(const std::string& projectName);
