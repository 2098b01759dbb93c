// The appended-data reader over in-memory files written by the packing
// tool's block writer: locating the block, reading entries, and rejecting
// tables that cannot be right or whose sizes lie.
#include "packdata/AppendedDataReader.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>

#include "tests/packdata/MemoryBlockFile.h"
#include "tools/BlockWriter.h"

namespace {

const uint32_t shippedOffset = 57344;
const char* const viewerPath = "C:\\savers\\demo.scr";

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// A viewer of prefixSize filler bytes with the block of entries appended.
std::vector<uint8_t> PackedFile(const std::vector<BlockEntry>& entries,
                                uint32_t prefixSize = shippedOffset)
{
    std::vector<uint8_t> file(prefixSize, 'V');
    std::vector<uint8_t> block = BuildBlock(entries, prefixSize);
    file.insert(file.end(), block.begin(), block.end());
    return file;
}

std::vector<uint8_t> ShippedFile() { return PackedFile({ProjectNameEntry("Demo Project")}); }

void PutNumberAt(std::vector<uint8_t>& file, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void BreakTrailer(std::vector<uint8_t>& file) { PutNumberAt(file, file.size() - 4, 0xFFFFFFF0u); }

struct Opened {
    explicit Opened(std::vector<uint8_t> bytes)
        : file(std::move(bytes)), reader(file, reporter, viewerPath)
    {
    }
    MemoryBlockFile file;
    RecordingReporter reporter;
    AppendedDataReader reader;
};

TEST(AppendedDataReader, ReadsTheShippedEntryByNameAndGroup)
{
    struct Case {
        const char* rule;
        const char* name;
        const char* group;
        bool found;
    } cases[] = {
        {"the name as the host asks for it", "ProjectName", "APPDATA", true},
        {"upper case", "PROJECTNAME", "APPDATA", true},
        {"lower case", "projectname", "APPDATA", true},
        {"group case is ignored too", "ProjectName", "AppData", true},
        {"no group stands for APPDATA", "ProjectName", nullptr, true},
        {"another group does not match", "ProjectName", "OTHER", false},
        {"a prefix of the name does not match", "Project", "APPDATA", false},
        {"a longer name does not match", "ProjectNames", "APPDATA", false},
    };
    for (const Case& c : cases) {
        Opened opened(ShippedFile());
        char buffer[259];
        memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(c.found, opened.reader.ReadEntry(c.name, buffer, sizeof buffer, c.group))
            << c.rule;
        if (c.found) {
            EXPECT_STREQ("Demo Project", buffer) << c.rule;
            EXPECT_EQ(0, buffer[258]) << c.rule << ": zero-padded to 259 bytes";
        } else {
            EXPECT_EQ('#', buffer[0]) << c.rule << ": nothing is read";
        }
        EXPECT_TRUE(opened.reporter.messages.empty()) << c.rule;
    }
}

TEST(AppendedDataReader, GroupAndTableOrderDecideBetweenEntries)
{
    std::vector<BlockEntry> entries = {
        {"G1", "NAME", Bytes("first")},
        {"G2", "NAME", Bytes("second")},
        {"G1", "NAME", Bytes("third")},
        {"G2", "OTHER", Bytes("fourth!")},
    };
    struct Case {
        const char* rule;
        const char* name;
        const char* group;
        std::string data;
    } cases[] = {
        {"same name, the group decides", "name", "g2", "second"},
        {"of two identical entries the earlier is read", "NAME", "G1", "first"},
        {"data of a later entry follows all earlier ones", "other", "G2", "fourth!"},
    };
    for (const Case& c : cases) {
        Opened opened(PackedFile(entries, 1000));
        ASSERT_EQ(4, opened.reader.GetEntryCount());
        std::string buffer(c.data.size(), '#');
        EXPECT_TRUE(opened.reader.ReadEntry(c.name, buffer.data(), static_cast<int>(buffer.size()),
                                            c.group))
            << c.rule;
        EXPECT_EQ(c.data, buffer) << c.rule;

        // Without a caller buffer the reader keeps the whole entry, zero-terminated.
        ASSERT_TRUE(opened.reader.ReadEntry(c.name, nullptr, 0, c.group)) << c.rule;
        ASSERT_EQ(static_cast<int>(c.data.size()), opened.reader.GetDataSize()) << c.rule;
        EXPECT_STREQ(c.data.c_str(), reinterpret_cast<const char*>(opened.reader.GetData()))
            << c.rule;
    }
}

TEST(AppendedDataReader, CallerSizeSetsTheRead)
{
    const std::vector<uint8_t> shipped = ShippedFile();
    // The same file cut 100 bytes into the entry's data, its trailer put back.
    std::vector<uint8_t> cut(shipped.begin(), shipped.begin() + shippedOffset + 80 + 100);
    cut.insert(cut.end(), shipped.end() - 4, shipped.end());
    // An empty entry whose data offset points past the end of the file.
    std::vector<uint8_t> emptyPastEnd = shipped;
    PutNumberAt(emptyPastEnd, shippedOffset + 68, 0);
    PutNumberAt(emptyPastEnd, shippedOffset + 76, 0x01000000);
    const std::string trailer("\0\xe0\0\0", 4);
    struct Case {
        const char* rule;
        const std::vector<uint8_t>& file;
        int size;
        bool result;
        size_t from;           // where the checked part of the buffer starts
        std::string expected;  // the buffer from there on
    } cases[] = {
        {"a larger size reads on into the trailer", shipped, 263, true, 255,
         std::string(4, '\0') + trailer},
        {"a smaller size reads only the start", shipped, 4, true, 0, "Demo"},
        {"a size of zero reads nothing", shipped, 0, true, 0, ""},
        {"a size beyond the file: the entry and what follows it, the rest untouched", shipped, 300,
         true, 259, trailer + std::string(37, '#')},
        {"the entry's own data cut short is no success", cut, 259, false, 0, ""},
        {"a size within what remains of a cut entry", cut, 50, true, 0,
         "Demo Project" + std::string(38, '\0')},
        {"an entry starting past the end of the file is no success, even an empty one",
         emptyPastEnd, 259, false, 0, std::string(259, '#')},
    };
    for (const Case& c : cases) {
        Opened opened(c.file);
        std::string buffer(static_cast<size_t>(c.size), '#');
        EXPECT_EQ(c.result, opened.reader.ReadEntry("ProjectName", buffer.data(), c.size, nullptr))
            << c.rule;
        EXPECT_EQ(c.expected, buffer.substr(c.from, c.expected.size())) << c.rule;
    }
}

TEST(AppendedDataReader, LocatesTheBlockThroughTheTrailerOrTheScan)
{
    const std::string notFound = "Data header not found!";
    struct Case {
        const char* rule;
        uint32_t prefixSize;
        std::function<void(std::vector<uint8_t>&, uint32_t prefix)> damage;
        bool found;
        std::vector<std::string> messages;
        bool firstChunkReadFails = false;
    } cases[] = {
        {"the trailer leads to the block", shippedOffset, [](auto&, uint32_t) {}, true, {}},
        {"the trailer accepts a lower-case magic",
         shippedOffset,
         [](auto& f, uint32_t at) {
             for (uint32_t i = 0; i < 36; ++i) f[at + i] = static_cast<uint8_t>(tolower(f[at + i]));
         },
         true,
         {}},
        {"the scan does not accept a lower-case magic",
         shippedOffset,
         [](auto& f, uint32_t at) {
             for (uint32_t i = 0; i < 36; ++i) f[at + i] = static_cast<uint8_t>(tolower(f[at + i]));
             BreakTrailer(f);
         },
         false,
         {"|" + notFound}},
        {"the scan finds the magic at remainder 9962",
         9999 * 3 + 9962,
         [](auto& f, uint32_t) { BreakTrailer(f); },
         true,
         {}},
        {"but not at remainder 9963",
         9999 * 3 + 9963,
         [](auto& f, uint32_t) { BreakTrailer(f); },
         false,
         {"|" + notFound}},
        {"the last position of the twentieth chunk is found",
         9999 * 19 + 9962,
         [](auto& f, uint32_t) { BreakTrailer(f); },
         true,
         {}},
        {"nothing beyond byte 199,979 is found",
         199980,
         [](auto& f, uint32_t) { BreakTrailer(f); },
         false,
         {"|" + notFound}},
        {"a failed read is reported and the scan goes on",
         9999 + 5,
         [](auto& f, uint32_t) { PutNumberAt(f, f.size() - 4, 0); },
         true,
         {"|38"},
         true},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = PackedFile({ProjectNameEntry("Demo Project")}, c.prefixSize);
        c.damage(bytes, c.prefixSize);
        MemoryBlockFile file(bytes);
        if (c.firstChunkReadFails) file.failingOffsets = {0};
        RecordingReporter reporter;
        AppendedDataReader reader(file, reporter, viewerPath);
        EXPECT_EQ(c.found, reader.FoundBlock()) << c.rule;
        EXPECT_EQ(c.found ? 1 : 0, reader.GetEntryCount()) << c.rule;
        if (c.found) {
            EXPECT_EQ(c.prefixSize, reader.GetBlockOffset()) << c.rule;
        }
        EXPECT_EQ(c.messages, reporter.messages) << c.rule;
        for (auto [offset, size] : file.reads)
            EXPECT_TRUE(size <= 36 || size == 9999)
                << c.rule << ": a read of " << size << " bytes at " << offset;
    }
}

TEST(AppendedDataReader, ScanCaptionIsTheTextAtTheTrailersOffset)
{
    std::vector<uint8_t> bytes(500, 'x');
    std::string shown = "Some text the trailer points at, 36+ characters";
    std::copy(shown.begin(), shown.end(), bytes.begin() + 100);
    PutNumberAt(bytes, bytes.size() - 4, 100);
    Opened opened(bytes);
    EXPECT_FALSE(opened.reader.FoundBlock());
    EXPECT_EQ(std::vector<std::string>{shown.substr(0, 36) + "|Data header not found!"},
              opened.reporter.messages);
}

TEST(AppendedDataReader, AFileThatCannotBeOpenedHasNoEntries)
{
    MemoryBlockFile file(ShippedFile());
    file.exists = false;
    RecordingReporter reporter;
    {
        AppendedDataReader reader(file, reporter, viewerPath);
        EXPECT_EQ(0, reader.GetEntryCount());
        char buffer[259];
        EXPECT_FALSE(reader.ReadEntry("ProjectName", buffer, sizeof buffer, nullptr));
    }
    EXPECT_EQ(viewerPath, file.openedPath);
    EXPECT_EQ(std::vector<std::string>{std::string(viewerPath) + "|Error opening file"},
              reporter.messages);
}

TEST(AppendedDataReader, TheFileIsOpenExactlyWhileTheReaderLives)
{
    MemoryBlockFile file(ShippedFile());
    RecordingReporter reporter;
    {
        AppendedDataReader reader(file, reporter, viewerPath);
        EXPECT_TRUE(file.open);
    }
    EXPECT_FALSE(file.open);
}

TEST(AppendedDataReader, RejectsTablesThatCannotBeRight)
{
    // Offsets inside a block of one entry {"APPDATA", "PROJECTNAME"} at 1000.
    const uint32_t b = 1000, count = b + 36, l1 = b + 40, group = b + 44, l2 = b + 52,
                   name = b + 56, size = b + 68;
    struct Case {
        const char* rule;
        std::function<void(std::vector<uint8_t>&)> damage;
        bool tableKept;
        bool wholeTable;  // read whole, even when it holds no entries
    } cases[] = {
        {"an intact table is kept", [](auto&) {}, true, true},
        {"count 0 means no entries", [&](auto& f) { PutNumberAt(f, count, 0); }, false, true},
        {"a negative count means no entries", [&](auto& f) { PutNumberAt(f, count, 0x80000000u); },
         false, true},
        {"a count beyond what the file holds", [&](auto& f) { PutNumberAt(f, count, 1000000); },
         false, false},
        {"a group length of 0", [&](auto& f) { PutNumberAt(f, l1, 0); }, false, false},
        {"a group length above 260", [&](auto& f) { PutNumberAt(f, l1, 261); }, false, false},
        {"a name length above 260", [&](auto& f) { PutNumberAt(f, l2, 0x7FFFFFFF); }, false, false},
        {"a group without its terminating zero", [&](auto& f) { f[group + 7] = 'X'; }, false,
         false},
        {"a name without its terminating zero", [&](auto& f) { f[name + 11] = 'X'; }, false, false},
        {"a read that comes up short",
         [&](auto& f) {
             PutNumberAt(f, l2, 260);
             f.resize(name + 100);
             PutNumberAt(f, f.size() - 4, b);
         },
         false, false},
        {"a huge data size is kept in the table",
         [&](auto& f) { PutNumberAt(f, size, 0xFFFFFFFFu); }, true, true},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = PackedFile({ProjectNameEntry("Demo Project")}, b);
        c.damage(bytes);
        Opened opened(bytes);
        EXPECT_TRUE(opened.reader.FoundBlock()) << c.rule;
        EXPECT_EQ(c.wholeTable, opened.reader.ReadWholeTable()) << c.rule;
        EXPECT_EQ(c.tableKept ? 1 : 0, opened.reader.GetEntryCount()) << c.rule;
        char buffer[4];
        EXPECT_EQ(c.tableKept,
                  opened.reader.ReadEntry("ProjectName", buffer, sizeof buffer, nullptr))
            << c.rule;
        EXPECT_TRUE(opened.reporter.messages.empty()) << c.rule;
    }
}

TEST(AppendedDataReader, OwnBufferIsReplacedAndRefusedWhenItCannotBeHad)
{
    std::vector<BlockEntry> entries = {{"APPDATA", "A", Bytes("alpha")},
                                       {"APPDATA", "B", Bytes("be")}};
    std::vector<uint8_t> bytes = PackedFile(entries, 100);
    Opened opened(bytes);
    ASSERT_TRUE(opened.reader.ReadEntry("a", nullptr, 0, nullptr));
    EXPECT_STREQ("alpha", reinterpret_cast<const char*>(opened.reader.GetData()));
    ASSERT_TRUE(opened.reader.ReadEntry("b", nullptr, 0, nullptr));
    EXPECT_EQ(2, opened.reader.GetDataSize());
    EXPECT_STREQ("be", reinterpret_cast<const char*>(opened.reader.GetData()));

    // A data size whose buffer (size + 1) cannot be counted in 32 bits.
    PutNumberAt(bytes, 100 + 36 + 4 + 4 + 8 + 4 + 2, 0xFFFFFFFFu);
    Opened huge(bytes);
    ASSERT_EQ(2, huge.reader.GetEntryCount());
    EXPECT_FALSE(huge.reader.ReadEntry("a", nullptr, 0, nullptr));
    EXPECT_EQ(nullptr, huge.reader.GetData());
    EXPECT_EQ(0, huge.reader.GetDataSize());

    // A failed read drops the data of the read before it: an entry that
    // would start past the end of the file, after one that was read.
    std::vector<BlockEntry> three = {{"APPDATA", "A", Bytes("alpha")},
                                     {"APPDATA", "B", Bytes("be")},
                                     {"APPDATA", "C", Bytes("c")}};
    std::vector<uint8_t> pastEnd = PackedFile(three, 100);
    PutNumberAt(pastEnd, 100 + 36 + 4 + 4 + 8 + 4 + 2 + 8 + 4 + 8 + 4 + 2, 0x7FFFFFFFu);
    Opened stale(pastEnd);
    ASSERT_TRUE(stale.reader.ReadEntry("a", nullptr, 0, nullptr));
    EXPECT_FALSE(stale.reader.ReadEntry("c", nullptr, 0, nullptr));
    EXPECT_EQ(nullptr, stale.reader.GetData());
    EXPECT_EQ(0, stale.reader.GetDataSize());
}

// The lying tables sit after a short prefix, so their offsets stay small.
const uint32_t blockAt = 1000;

// Two entries before the project name, so that its data is found through
// the sum of their sizes.
std::vector<BlockEntry> ThreeEntries()
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

struct Damage {
    uint32_t firstSize, secondSize, nameSize, dataOffset;
};

std::vector<uint8_t> Damaged(const Damage& damage)
{
    std::vector<BlockEntry> entries = ThreeEntries();
    std::vector<uint8_t> file = PackedFile(entries, blockAt);
    PutNumberAt(file, SizeFieldAt(entries, 0), damage.firstSize);
    PutNumberAt(file, SizeFieldAt(entries, 1), damage.secondSize);
    PutNumberAt(file, SizeFieldAt(entries, 2), damage.nameSize);
    PutNumberAt(file, DataOffsetFieldAt(entries), damage.dataOffset);
    return file;
}

// Entry tables whose sizes lie: sizes that sum past the end of the file,
// sizes of 0xFFFFFFFF, sums and offsets that wrap 32 bits. The reader must
// refuse such an entry or read nothing of it, never bytes from elsewhere.
TEST(AppendedDataReader, EntriesThatLieAboutTheirSizesReadNothingFromElsewhere)
{
    const std::vector<BlockEntry> entries = ThreeEntries();
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
        {"a size of 0xFFFFFFFF before the entry wraps the sum",
         {0xFFFFFFFFu, 6, 259, d},
         false,
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
        EXPECT_EQ(row.intoCallerBuffer,
                  reader.ReadEntry("ProjectName", buffer.data(), 259, nullptr));
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
