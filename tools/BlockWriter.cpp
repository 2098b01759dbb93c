// Writes the appended data block (see BlockWriter.h).
#include "tools/BlockWriter.h"

#include "packdata/BlockFormat.h"
#include "packdata/Crc32.h"

#include <algorithm>

namespace {

void PutNumber(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutName(std::vector<uint8_t>& out, const std::string& name)
{
    PutNumber(out, static_cast<uint32_t>(name.size() + 1));
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
}

}  // namespace

std::vector<uint8_t> BuildBlock(const std::vector<BlockEntry>& entries, uint32_t blockOffset)
{
    char magic[blockMagicLength];
    JoinBlockMagic(magic);
    std::vector<uint8_t> block(magic, magic + blockMagicLength);
    PutNumber(block, static_cast<uint32_t>(entries.size()));
    for (const BlockEntry& entry : entries) {
        PutName(block, entry.group);
        PutName(block, entry.name);
        PutNumber(block, static_cast<uint32_t>(entry.data.size()));
        PutNumber(block, Crc32(entry.data.data(), entry.data.size()));
    }
    // The data offset counts itself: the data follows at once.
    PutNumber(block, static_cast<uint32_t>(block.size() + 4));
    for (const BlockEntry& entry : entries)
        block.insert(block.end(), entry.data.begin(), entry.data.end());
    PutNumber(block, blockOffset);
    return block;
}

BlockEntry ProjectNameEntry(const std::string& projectName)
{
    BlockEntry entry{shippedGroupName, shippedEntryName, std::vector<uint8_t>(shippedDataSize, 0)};
    std::string kept = projectName.substr(0, shippedDataSize - 1);
    std::copy(kept.begin(), kept.end(), entry.data.begin());
    return entry;
}
