// Entry tables whose sizes lie: sizes that sum past the end of the file,
// sizes of 0xFFFFFFFF, sums and offsets that wrap 32 bits. The reader must
// refuse such an entry or read nothing of it, never bytes from elsewhere.
#include "packdata/AppendedDataReader.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/packdata/MemoryBlockFile.h"
#include "tools/BlockWriter.h"

namespace {

const uint32_t blockAt = 1000;
const char* const viewerPath = "C:\\savers\\hostile.scr";

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// Two entries before the project name, so that its data is found through
// the sum of their sizes.
std::vector<BlockEntry> Entries()
{
    return {{"APPDATA", "FIRST", Bytes("first")},
            {"APPDATA", "SECOND", Bytes("second")},
            ProjectNameEntry("Hostile Project")};
}

// File offset of entry index's size field, and of the data offset D.
uint32_t SizeFieldAt(const std::vector<BlockEntry>& entries, size_t index)
{
    uint32_t at = blockAt + 36 + 4;
    for (size_t i = 0;; ++i) {
        at += 4 + static_cast<uint32_t>(entries[i].group.size() + 1) + 4 +
              static_cast<uint32_t>(entries[i].name.size() + 1);
        if (i == index) return at;
        at += 8;
    }
}
uint32_t DataOffsetFieldAt(const std::vector<BlockEntry>& entries)
{
    return SizeFieldAt(entries, entries.size() - 1) + 8;
}

void PutNumberAt(std::vector<uint8_t>& file, uint32_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> PackedFile()
{
    std::vector<uint8_t> file(blockAt, 'V');
    std::vector<uint8_t> block = BuildBlock(Entries(), blockAt);
    file.insert(file.end(), block.begin(), block.end());
    return file;
}

struct Damage {
    uint32_t firstSize, secondSize, nameSize, dataOffset;
};

std::vector<uint8_t> Damaged(const Damage& damage)
{
    std::vector<BlockEntry> entries = Entries();
    std::vector<uint8_t> file = PackedFile();
    PutNumberAt(file, SizeFieldAt(entries, 0), damage.firstSize);
    PutNumberAt(file, SizeFieldAt(entries, 1), damage.secondSize);
    PutNumberAt(file, SizeFieldAt(entries, 2), damage.nameSize);
    PutNumberAt(file, DataOffsetFieldAt(entries), damage.dataOffset);
    return file;
}

TEST(HostileBlockSizes, EntriesThatLieAboutTheirSizesReadNothingFromElsewhere)
{
    const std::vector<BlockEntry> entries = Entries();
    const uint32_t d = DataOffsetFieldAt(entries) + 4 - blockAt;  // as the writer stores it
    struct Row {
        const char* rule;
        Damage damage;
        bool intoCallerBuffer;  // the 259 bytes the host asks for
        bool intoOwnBuffer;     // the entry's whole data
    } rows[] = {
        // The honest table finds the name after the 5 + 6 bytes before it.
        {"the honest table", {5, 6, 259, d}, true, true},
        // The sizes before the name point past the end of the file.
        {"sizes before the entry sum past the end", {5, 100000, 259, d}, false, false},
        // 0xFFFFFFFF + 6 wraps to 5 in 32 bits: the name would be read one
        // byte early, from the second entry's data.
        {"a size of 0xFFFFFFFF before the entry wraps the sum", {0xFFFFFFFFu, 6, 259, d}, false,
         false},
        // Two halves of 4 GiB sum to exactly 0 in 32 bits: the name would be
        // read from the first entry's data.
        {"sizes that sum to 4 GiB", {0x80000000u, 0x80000000u, 259, d}, false, false},
        // A data offset that wraps the start back before the block.
        {"a data offset that wraps the start", {5, 6, 259, 0xFFFFFFFFu}, false, false},
        {"a data offset past the end", {5, 6, 259, 0x7FFFFFFFu}, false, false},
        // The caller's size sets its read, and those 259 bytes are all there;
        // a buffer of the entry's own size is never made.
        {"the entry's own size of 0xFFFFFFFF", {5, 6, 0xFFFFFFFFu, d}, true, false},
        {"the entry's own size just past the end", {5, 6, 264, d}, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        MemoryBlockFile file(Damaged(row.damage));
        RecordingReporter reporter;
        AppendedDataReader reader(file, reporter, viewerPath);
        ASSERT_EQ(3, reader.GetEntryCount()) << "the table itself is well formed";

        std::string buffer(259, '#');
        EXPECT_EQ(row.intoCallerBuffer, reader.ReadEntry("ProjectName", buffer.data(), 259, nullptr));
        if (row.intoCallerBuffer)
            EXPECT_STREQ("Hostile Project", buffer.c_str());
        else
            EXPECT_EQ(std::string(259, '#'), buffer) << "nothing may reach the buffer";

        EXPECT_EQ(row.intoOwnBuffer, reader.ReadEntry("ProjectName", nullptr, 0, nullptr));
        EXPECT_EQ(row.intoOwnBuffer ? 259 : 0, reader.GetDataSize());
        EXPECT_EQ(row.intoOwnBuffer, reader.GetData() != nullptr);
        EXPECT_TRUE(reporter.messages.empty());
    }
}

}  // namespace
