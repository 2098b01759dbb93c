// The appended-data reader's file for host tools: bytes already read into
// memory, so the reader sees exactly what the tool copies and writes, and a
// path of any length works.
#pragma once

#include <stdint.h>

#include <algorithm>
#include <vector>

#include "packdata/BlockFile.h"

class ByteBlockFile : public BlockFile {
public:
    explicit ByteBlockFile(const std::vector<uint8_t>& bytes) : bytes(bytes) {}
    bool Open(const char*) override { return true; }
    void Close() override {}
    uint32_t Length() override { return static_cast<uint32_t>(bytes.size()); }
    bool ReadAt(uint32_t offset, void* buffer, uint32_t size, uint32_t* got) override
    {
        *got = offset < bytes.size()
                   ? std::min<uint32_t>(size, static_cast<uint32_t>(bytes.size() - offset))
                   : 0;
        std::copy_n(bytes.begin() + (*got ? offset : 0), *got, static_cast<uint8_t*>(buffer));
        return true;
    }
    uint32_t LastError() override { return 0; }

private:
    const std::vector<uint8_t>& bytes;
};
