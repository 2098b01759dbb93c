// The appended-data reader's file, through a Win32 file handle.
#include "packdata/Win32BlockFile.h"

bool Win32BlockFile::Open(const char* path)
{
    Close();
    handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) lastError = GetLastError();
    return handle != INVALID_HANDLE_VALUE;
}

void Win32BlockFile::Close()
{
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
}

uint32_t Win32BlockFile::Length()
{
    DWORD length = GetFileSize(handle, nullptr);
    return length == INVALID_FILE_SIZE ? 0 : length;
}

bool Win32BlockFile::ReadAt(uint32_t offset, void* buffer, uint32_t size, uint32_t* got)
{
    DWORD read = 0;
    *got = 0;
    if (SetFilePointer(handle, static_cast<LONG>(offset), nullptr, FILE_BEGIN) ==
            INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR) {
        lastError = GetLastError();
        return false;
    }
    if (!ReadFile(handle, buffer, size, &read, nullptr)) {
        lastError = GetLastError();
        return false;
    }
    *got = read;
    return true;
}
