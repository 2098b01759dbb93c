// Fuzzes the appended-data reader with whole files held in memory: where the
// block is found (trailer or scan), the entry table it keeps, and every
// lookup of the entries' own names, checked against the file's bytes.
#include <string.h>

#include <string>
#include <vector>

#include "packdata/AppendedDataReader.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/packdata/MemoryBlockFile.h"

namespace {

const char* const viewerPath = "C:\\savers\\fuzz.scr";
const uint64_t scanChunk = 9999;
const uint64_t scanEnd = 20 * scanChunk;
const uint64_t lastScanPosition = 9962;  // a magic must start at or before it in its chunk
const int largestCallerBuffer = 4096;
const int guardBytes = 16;
const uint8_t guard = 0xA5;

using Bytes = std::vector<uint8_t>;

uint32_t NumberAt(const Bytes& file, uint64_t at)
{
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 |
           static_cast<uint32_t>(file[at + 3]) << 24;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(const char* a, const char* b)
{
    for (; *a || *b; ++a, ++b)
        if (Lower(*a) != Lower(*b)) return false;
    return true;
}

struct Magic {
    Magic() { JoinBlockMagic(text); }
    char text[blockMagicLength];
};

bool MagicAt(const Bytes& file, uint64_t at, bool ignoreCase)
{
    static const Magic joined;
    const char* magic = joined.text;
    if (at + blockMagicLength > file.size()) return false;
    for (int i = 0; i < blockMagicLength; ++i) {
        char c = static_cast<char>(file[at + i]);
        if (ignoreCase ? Lower(c) != Lower(magic[i]) : c != magic[i]) return false;
    }
    return true;
}

// Where the block must be found: at the trailer's offset when the magic is
// there in any letter case, else at the first exact magic the bounded scan
// reaches. False when neither holds.
bool ExpectedBlock(const Bytes& file, uint64_t& offset)
{
    if (file.size() >= 4) {
        offset = NumberAt(file, file.size() - 4);
        if (MagicAt(file, offset, true)) return true;
    }
    for (offset = 0; offset < scanEnd && offset < file.size(); ++offset)
        if (offset % scanChunk <= lastScanPosition && MagicAt(file, offset, false)) return true;
    return false;
}

// A kept table must be what the file holds after the magic: every header
// and the data offset lie within the file, and the names are the file's.
void CheckTable(const Bytes& file, AppendedDataReader& reader)
{
    if (!reader.ReadWholeTable()) {
        FUZZ_CHECK(reader.GetEntryCount() == 0);
        return;
    }
    uint64_t at = reader.GetBlockOffset() + uint64_t(blockMagicLength);
    FUZZ_CHECK(at + 4 <= file.size());
    int32_t count = static_cast<int32_t>(NumberAt(file, at));
    at += 4;
    FUZZ_CHECK(reader.GetEntryCount() == (count > 0 ? count : 0));
    for (int i = 0; i < reader.GetEntryCount(); ++i) {
        const AppendedDataEntry* entry = reader.GetEntry(i);
        FUZZ_CHECK(entry != nullptr);
        for (const char* name : {entry->groupName, entry->entryName}) {
            FUZZ_CHECK(at + 4 <= file.size());
            uint32_t length = NumberAt(file, at);
            FUZZ_CHECK(length >= 1 && length <= uint32_t(blockNameFieldSize));
            FUZZ_CHECK(at + 4 + length <= file.size());
            FUZZ_CHECK(memcmp(name, &file[at + 4], length) == 0 && name[length - 1] == '\0');
            at += 4 + length;
        }
        FUZZ_CHECK(at + 8 <= file.size());
        FUZZ_CHECK(entry->dataSize == NumberAt(file, at) && entry->crc == NumberAt(file, at + 4));
        at += 8;
    }
    FUZZ_CHECK(at + 4 <= file.size() && reader.GetDataOffset() == NumberAt(file, at));
}

std::string ToggledCase(const char* text)
{
    std::string out(text);
    for (char& c : out)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) c ^= 0x20;
    return out;
}

// The first entry of that name and group and where its data starts, counted
// without any 32-bit wrap; false when no entry matches.
bool ExpectedEntry(AppendedDataReader& reader, const char* name, const char* group,
                   uint64_t& dataAt, uint32_t& dataSize)
{
    dataAt = uint64_t(reader.GetBlockOffset()) + reader.GetDataOffset();
    for (int i = 0; i < reader.GetEntryCount(); ++i) {
        const AppendedDataEntry* entry = reader.GetEntry(i);
        if (SameIgnoringCase(entry->entryName, name) && SameIgnoringCase(entry->groupName, group)) {
            dataSize = entry->dataSize;
            return true;
        }
        dataAt += entry->dataSize;
    }
    return false;
}

// A caller-buffer read: nothing is written past the size it was given; true
// exactly when the entry starts within the file and its own bytes (as many as
// the caller asked for) lie in it, and then the buffer holds the file's bytes
// from there.
void CheckCallerRead(const Bytes& file, AppendedDataReader& reader, const char* name,
                     const char* group, int size)
{
    uint64_t dataAt = 0;
    uint32_t dataSize = 0;
    bool hit = ExpectedEntry(reader, name, group, dataAt, dataSize);
    int room = size > 0 ? size : 0;
    Bytes buffer(room + guardBytes, guard);
    bool read = reader.ReadEntry(name, buffer.data(), size, group);
    for (int i = room; i < room + guardBytes; ++i) FUZZ_CHECK(buffer[i] == guard);
    if (!hit || dataAt > file.size()) {
        FUZZ_CHECK(!read);
        return;
    }
    if (size <= 0) {
        FUZZ_CHECK(read);
        return;
    }
    uint64_t needed = uint64_t(size) < dataSize ? uint64_t(size) : dataSize;
    FUZZ_CHECK(read == (dataAt + needed <= file.size()));
    if (!read) return;
    uint64_t available = file.size() - dataAt;
    uint64_t compared = uint64_t(size) < available ? uint64_t(size) : available;
    FUZZ_CHECK(memcmp(buffer.data(), &file[dataAt], compared) == 0);
}

// A read into the reader's own buffer: true exactly when the whole entry lies
// in the file; the buffer then holds it and a zero byte after it.
void CheckOwnBufferRead(const Bytes& file, AppendedDataReader& reader, const char* name,
                        const char* group)
{
    uint64_t dataAt = 0;
    uint32_t dataSize = 0;
    bool hit = ExpectedEntry(reader, name, group, dataAt, dataSize);
    const unsigned char* before = reader.GetData();
    int sizeBefore = reader.GetDataSize();
    bool read = reader.ReadEntry(name, nullptr, 0, group);
    if (!hit) {
        FUZZ_CHECK(!read && reader.GetData() == before && reader.GetDataSize() == sizeBefore);
        return;
    }
    FUZZ_CHECK(read == (dataAt + dataSize <= file.size()));
    if (!read) {
        FUZZ_CHECK(reader.GetData() == nullptr && reader.GetDataSize() == 0);
        return;
    }
    FUZZ_CHECK(reader.GetDataSize() == static_cast<int>(dataSize));
    FUZZ_CHECK(memcmp(reader.GetData(), &file[dataAt], dataSize) == 0);
    FUZZ_CHECK(reader.GetData()[dataSize] == 0);
}

void CheckLookups(const Bytes& file, AppendedDataReader& reader)
{
    const int checkedEntries = 8;
    for (int i = 0; i < reader.GetEntryCount() && i < checkedEntries; ++i) {
        const AppendedDataEntry* entry = reader.GetEntry(i);
        std::string name = ToggledCase(entry->entryName);
        std::string group = ToggledCase(entry->groupName);
        int64_t dataSize = entry->dataSize;
        for (int64_t size : {int64_t(-1), int64_t(0), int64_t(1), dataSize - 1, dataSize,
                             dataSize + 5, int64_t(shippedDataSize)}) {
            if (size <= largestCallerBuffer)
                CheckCallerRead(file, reader, name.c_str(), group.c_str(), static_cast<int>(size));
        }
        CheckOwnBufferRead(file, reader, name.c_str(), group.c_str());
    }
    // The viewer's own lookup, and one that no table can hold.
    CheckCallerRead(file, reader, "ProjectName", shippedGroupName, shippedDataSize);
    CheckOwnBufferRead(file, reader, "no such entry name", nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Bytes bytes(data, data + size);
    MemoryBlockFile file(bytes);
    RecordingReporter reporter;
    AppendedDataReader reader(file, reporter, viewerPath);

    uint64_t expectedOffset = 0;
    bool expectFound = ExpectedBlock(bytes, expectedOffset);
    FUZZ_CHECK(reader.FoundBlock() == expectFound);
    if (expectFound) FUZZ_CHECK(reader.GetBlockOffset() == expectedOffset);
    // A memory file never fails a read: the only message is the scan's miss.
    FUZZ_CHECK(reporter.messages.size() == (expectFound ? 0u : 1u));
    CheckTable(bytes, reader);
    CheckLookups(bytes, reader);

    // Same bytes, same reader.
    MemoryBlockFile again(bytes);
    RecordingReporter reporterAgain;
    AppendedDataReader readerAgain(again, reporterAgain, viewerPath);
    FUZZ_CHECK(readerAgain.FoundBlock() == reader.FoundBlock() &&
               readerAgain.GetBlockOffset() == reader.GetBlockOffset() &&
               readerAgain.GetEntryCount() == reader.GetEntryCount() &&
               readerAgain.GetDataOffset() == reader.GetDataOffset() &&
               reporterAgain.messages == reporter.messages);
    // The file stays open while its reader lives.
    FUZZ_CHECK(file.open && again.open);
    return 0;
}
