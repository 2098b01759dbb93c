// Reads the data block appended to the viewer's executable (see
// AppendedDataReader.h). Integers in the block are 32-bit little-endian.
#include "packdata/AppendedDataReader.h"

#include <stdlib.h>
#include <string.h>

#include "common/BoundedText.h"

namespace {

const uint32_t scanChunkSize = 9999;
const int scanChunkCount = 20;
// Chunks do not overlap, and a magic is looked for only where it starts at
// one of these positions of a chunk.
const uint32_t lastScanPosition = 9962;
// The smallest entry header: two lengths, two one-byte names, size and CRC.
const uint32_t smallestEntryHeader = 4 + 1 + 4 + 1 + 4 + 4;
const char* const defaultGroupName = "APPDATA";

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameTextIgnoringCase(const char* a, const char* b)
{
    for (; *a && Lower(*a) == Lower(*b); ++a, ++b) {
    }
    return Lower(*a) == Lower(*b);
}

uint32_t LittleEndian(const unsigned char* bytes)
{
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// The decimal text of value; out holds at least 11 bytes.
void FormatDecimal(uint32_t value, char* out)
{
    char reversed[10];
    int length = 0;
    do {
        reversed[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    for (int i = 0; i < length; ++i) out[i] = reversed[length - 1 - i];
    out[length] = '\0';
}

}  // namespace

AppendedDataReader::AppendedDataReader(BlockFile& file, MessageReporter& reporter, const char* path)
    : file(file),
      reporter(reporter),
      dataOffset(0),
      dataBuffer(nullptr),
      dataBufferSize(0),
      blockOffset(0),
      blockFound(false),
      tableRead(false)
{
    CopyText(this->path, sizeof this->path, path);
    OpenBlock();
}

AppendedDataReader::~AppendedDataReader()
{
    file.Close();
    FreeDataBuffer();
    FreeEntries();
}

void AppendedDataReader::OpenBlock()
{
    if (!file.Open(path)) {
        reporter.Report("Error opening file", path);
        return;
    }
    blockFound = LocateBlock();
    tableRead = blockFound && ReadTable();
    if (!tableRead) FreeEntries();
}

bool AppendedDataReader::LocateBlock()
{
    char magic[blockMagicLength + 1];
    JoinBlockMagic(magic);
    magic[blockMagicLength] = '\0';

    // The caption of the scan's messages: the text found where the trailer
    // points, empty when nothing could be read there.
    char caption[blockMagicLength + 1] = {};
    uint32_t length = file.Length();
    uint32_t trailerAt = length - 4;
    unsigned char trailer[4];
    if (length >= 4 && ReadExact(trailerAt, trailer, 4)) {
        uint32_t candidate = LittleEndian(trailer);
        uint32_t got = 0;
        if (file.ReadAt(candidate, caption, blockMagicLength, &got))
            caption[got] = '\0';
        else
            caption[0] = '\0';
        if (SameTextIgnoringCase(caption, magic)) {
            blockOffset = candidate;
            return true;
        }
    }
    return ScanForMagic(caption);
}

bool AppendedDataReader::ScanForMagic(const char* caption)
{
    char magic[blockMagicLength];
    JoinBlockMagic(magic);
    unsigned char* chunk = static_cast<unsigned char*>(malloc(scanChunkSize));
    bool found = false;
    uint32_t chunkStart = 0;
    for (int i = 0; chunk && !found && i < scanChunkCount; ++i) {
        uint32_t got = 0;
        if (!file.ReadAt(chunkStart, chunk, scanChunkSize, &got)) {
            char number[11];
            FormatDecimal(file.LastError(), number);
            reporter.Report(number, caption);
            chunkStart += scanChunkSize;
            continue;
        }
        if (got == 0) break;
        for (uint32_t at = 0; at <= lastScanPosition && at + blockMagicLength <= got; ++at) {
            if (memcmp(chunk + at, magic, blockMagicLength) == 0) {
                blockOffset = chunkStart + at;
                found = true;
                break;
            }
        }
        chunkStart += got;
    }
    free(chunk);
    if (!found) reporter.Report("Data header not found!", caption);
    return found;
}

bool AppendedDataReader::ReadTable()
{
    uint32_t at = blockOffset + blockMagicLength;
    uint32_t count = 0;
    if (!ReadNumber(at, count)) return false;
    int32_t signedCount = static_cast<int32_t>(count);
    if (signedCount > 0) {
        uint32_t length = file.Length();
        uint32_t remaining = length > at ? length - at : 0;
        if (count > remaining / smallestEntryHeader) return false;
    }
    for (int32_t i = 0; i < signedCount; ++i) {
        AppendedDataEntry* entry = static_cast<AppendedDataEntry*>(malloc(sizeof *entry));
        if (!entry) return false;
        if (entries.Add(entry) < 0) {
            free(entry);
            return false;
        }
        if (!ReadName(at, entry->groupName) || !ReadName(at, entry->entryName) ||
            !ReadNumber(at, entry->dataSize) || !ReadNumber(at, entry->crc))
            return false;
    }
    return ReadNumber(at, dataOffset);
}

bool AppendedDataReader::ReadExact(uint32_t& at, void* buffer, uint32_t size)
{
    uint32_t got = 0;
    if (!file.ReadAt(at, buffer, size, &got) || got != size) return false;
    at += size;
    return true;
}

bool AppendedDataReader::ReadNumber(uint32_t& at, uint32_t& value)
{
    unsigned char bytes[4];
    if (!ReadExact(at, bytes, 4)) return false;
    value = LittleEndian(bytes);
    return true;
}

bool AppendedDataReader::ReadName(uint32_t& at, char* field)
{
    uint32_t length = 0;
    if (!ReadNumber(at, length) || length < 1 || length > blockNameFieldSize) return false;
    return ReadExact(at, field, length) && field[length - 1] == '\0';
}

bool AppendedDataReader::ReadEntry(const char* entryName, void* buffer, int size,
                                   const char* groupName)
{
    char group[blockNameFieldSize];
    CopyText(group, sizeof group, groupName ? groupName : defaultGroupName);
    if (!entryName) return false;

    // Summed in 64 bits: sizes from a damaged table may add up past 4 GiB,
    // and a wrapped sum would point back into the file at the wrong bytes.
    uint64_t before = 0;
    for (int i = 0; i < entries.GetCount(); ++i) {
        const AppendedDataEntry* entry = GetEntry(i);
        if (!SameTextIgnoringCase(entry->entryName, entryName) ||
            !SameTextIgnoringCase(entry->groupName, group)) {
            before += entry->dataSize;
            continue;
        }
        // A read into the reader's own buffer replaces it, also when it fails.
        if (!buffer) FreeDataBuffer();
        uint64_t start = before + blockOffset + dataOffset;
        // Data that would start past the end of the file (even none of it)
        // belongs to a damaged table.
        if (start > file.Length()) return false;
        uint32_t at = static_cast<uint32_t>(start);
        if (buffer)
            return size <= 0 ||
                   ReadIntoCallerBuffer(at, buffer, static_cast<uint32_t>(size), entry->dataSize);

        // Data the file cannot hold is refused before any buffer is made for it.
        if (start + entry->dataSize > file.Length()) return false;
        // The buffer's size and the reported size must fit a signed 32-bit count.
        if (entry->dataSize >= 0x7FFFFFFFu) return false;
        dataBuffer = static_cast<unsigned char*>(malloc(entry->dataSize + 1));
        if (!dataBuffer) return false;
        if (!ReadExact(at, dataBuffer, entry->dataSize)) {
            FreeDataBuffer();
            return false;
        }
        dataBuffer[entry->dataSize] = 0;
        dataBufferSize = static_cast<int>(entry->dataSize);
        return true;
    }
    return false;
}

bool AppendedDataReader::ReadIntoCallerBuffer(uint32_t at, void* buffer, uint32_t size,
                                              uint32_t dataSize)
{
    // The caller's size sets the read, so a larger one reads on into whatever
    // follows the entry, as far as the file goes; only the entry's own bytes
    // must all arrive.
    uint32_t got = 0;
    if (!file.ReadAt(at, buffer, size, &got)) return false;
    return got >= (size < dataSize ? size : dataSize);
}

const unsigned char* AppendedDataReader::GetData() { return dataBuffer; }

int AppendedDataReader::GetDataSize() { return dataBufferSize; }

const AppendedDataEntry* AppendedDataReader::GetEntry(int index) const
{
    return static_cast<const AppendedDataEntry*>(entries.GetAt(index));
}

void AppendedDataReader::FreeEntries()
{
    for (int i = 0; i < entries.GetCount(); ++i) {
        free(entries.GetAt(i));
        entries.SetAt(nullptr, i);
    }
    entries.RemoveAll();
}

void AppendedDataReader::FreeDataBuffer()
{
    free(dataBuffer);
    dataBuffer = nullptr;
    dataBufferSize = 0;
}
