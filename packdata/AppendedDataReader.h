// Reads the data block appended to the viewer's executable: finds it through
// the file's trailer or by a bounded scan, reads its entry table, and reads
// one entry's data on request.
#pragma once

#include <stdint.h>

#include "packdata/BlockFile.h"
#include "packdata/BlockFormat.h"
#include "packdata/PointerArray.h"

struct AppendedDataEntry {
    char groupName[blockNameFieldSize];
    char entryName[blockNameFieldSize];
    uint32_t dataSize;
    uint32_t crc;  // as stored; never verified by the reader
};

class AppendedDataReader {
public:
    // Opens path through file and reads the block's table at once. Failures
    // are shown through reporter and leave the reader without entries.
    AppendedDataReader(BlockFile& file, MessageReporter& reporter, const char* path);
    // Closes the file and frees the entries and the data buffer.
    virtual ~AppendedDataReader();

    // Opens the file, locates the block and reads its entry table; a table
    // that cannot be right is dropped whole.
    virtual void OpenBlock();
    // Finds the first entry of that name and group (ASCII case ignored; group
    // null means "APPDATA"). With a buffer, reads size bytes from the start of
    // the entry's data into it (a size beyond the entry reads on into what
    // follows it, as far as the file goes); without, reads the entry's data
    // into the reader's own buffer (GetData, GetDataSize). False when no entry
    // matches, the read fails or the entry's own data is cut short.
    virtual bool ReadEntry(const char* entryName, void* buffer, int size, const char* groupName);
    // The reader's own buffer (null until ReadEntry without a buffer filled
    // it), valid until the next such ReadEntry or the reader's end; its data is
    // followed by a zero byte.
    virtual const unsigned char* GetData();
    virtual int GetDataSize();

    int GetEntryCount() const { return entries.GetCount(); }
    // The entry at index in table order, or null.
    const AppendedDataEntry* GetEntry(int index) const;
    // Whether the magic was found, through the trailer or the scan (even when
    // the table after it was then dropped); GetBlockOffset is its offset.
    bool FoundBlock() const { return blockFound; }
    // Whether the entry table after the magic was read whole (false when it
    // was dropped as one that cannot be right).
    bool ReadWholeTable() const { return tableRead; }
    uint32_t GetBlockOffset() const { return blockOffset; }
    uint32_t GetDataOffset() const { return dataOffset; }

private:
    AppendedDataReader(const AppendedDataReader&) = delete;
    AppendedDataReader& operator=(const AppendedDataReader&) = delete;

    bool LocateBlock();
    bool ScanForMagic(const char* caption);
    bool ReadTable();
    bool ReadExact(uint32_t& at, void* buffer, uint32_t size);
    bool ReadNumber(uint32_t& at, uint32_t& value);
    bool ReadName(uint32_t& at, char* field);
    bool ReadIntoCallerBuffer(uint32_t at, void* buffer, uint32_t size, uint32_t dataSize);
    void FreeEntries();
    void FreeDataBuffer();

    BlockFile& file;
    MessageReporter& reporter;
    char path[blockNameFieldSize];
    PointerArray entries;
    uint32_t dataOffset;
    unsigned char* dataBuffer;
    int dataBufferSize;
    uint32_t blockOffset;
    bool blockFound;
    bool tableRead;
};
