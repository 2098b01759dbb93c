// The appended-data reader's file for host tools, through C stdio.
#include "tools/StdBlockFile.h"

#include <errno.h>

bool StdBlockFile::Open(const char* path)
{
    Close();
    stream = fopen(path, "rb");
    if (!stream) lastError = static_cast<uint32_t>(errno);
    return stream != nullptr;
}

void StdBlockFile::Close()
{
    if (stream) fclose(stream);
    stream = nullptr;
}

uint32_t StdBlockFile::Length()
{
    if (!stream || fseek(stream, 0, SEEK_END) != 0) return 0;
    long length = ftell(stream);
    return length < 0 || length > 0x7FFFFFFFL ? 0 : static_cast<uint32_t>(length);
}

bool StdBlockFile::ReadAt(uint32_t offset, void* buffer, uint32_t size, uint32_t* got)
{
    *got = 0;
    if (!stream || fseek(stream, static_cast<long>(offset), SEEK_SET) != 0) {
        lastError = static_cast<uint32_t>(errno);
        return false;
    }
    *got = static_cast<uint32_t>(fread(buffer, 1, size, stream));
    if (ferror(stream)) {
        lastError = static_cast<uint32_t>(errno);
        clearerr(stream);
        return false;
    }
    return true;
}
