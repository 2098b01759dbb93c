// In-memory stand-ins for the reader's file and message boxes: the file
// records each read and can fail chosen ones; the reporter records messages.
#pragma once

#include <stdint.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "packdata/BlockFile.h"

class MemoryBlockFile : public BlockFile {
public:
    explicit MemoryBlockFile(std::vector<uint8_t> bytes) : bytes(std::move(bytes)) {}
    bool Open(const char* path) override
    {
        openedPath = path;
        open = exists;
        return exists;
    }
    void Close() override { open = false; }
    uint32_t Length() override { return static_cast<uint32_t>(bytes.size()); }
    bool ReadAt(uint32_t offset, void* buffer, uint32_t size, uint32_t* got) override
    {
        reads.push_back({offset, size});
        *got = 0;
        if (failingOffsets.count(offset)) return false;
        if (offset >= bytes.size()) return true;
        *got = std::min<uint32_t>(size, static_cast<uint32_t>(bytes.size() - offset));
        std::copy(bytes.begin() + offset, bytes.begin() + offset + *got,
                  static_cast<uint8_t*>(buffer));
        return true;
    }
    uint32_t LastError() override { return 38; }

    std::vector<uint8_t> bytes;
    bool exists = true;
    bool open = false;
    std::string openedPath;
    std::set<uint32_t> failingOffsets;
    std::vector<std::pair<uint32_t, uint32_t>> reads;  // offset, size
};

class RecordingReporter : public MessageReporter {
public:
    void Report(const char* text, const char* caption) override
    {
        messages.push_back(std::string(caption) + "|" + text);
    }
    std::vector<std::string> messages;
};
