// The appended-data reader's file for host tools, through C stdio.
#pragma once

#include <stdio.h>

#include "packdata/BlockFile.h"

class StdBlockFile : public BlockFile {
public:
    ~StdBlockFile() override { Close(); }
    bool Open(const char* path) override;
    void Close() override;
    uint32_t Length() override;
    bool ReadAt(uint32_t offset, void* buffer, uint32_t size, uint32_t* got) override;
    uint32_t LastError() override { return lastError; }

private:
    FILE* stream = nullptr;
    uint32_t lastError = 0;
};
