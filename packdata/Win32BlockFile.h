// The appended-data reader's file, through a Win32 file handle.
#pragma once

#include <windows.h>

#include "packdata/BlockFile.h"

class Win32BlockFile : public BlockFile {
public:
    Win32BlockFile() : handle(INVALID_HANDLE_VALUE), lastError(0) {}
    ~Win32BlockFile() override { Close(); }
    bool Open(const char* path) override;
    void Close() override;
    uint32_t Length() override;
    bool ReadAt(uint32_t offset, void* buffer, uint32_t size, uint32_t* got) override;
    uint32_t LastError() override { return lastError; }

private:
    HANDLE handle;
    DWORD lastError;
};
