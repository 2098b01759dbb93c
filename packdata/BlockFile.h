// What the appended-data reader needs of a file and of the user: reading at an
// offset, and showing a message. The Win32 viewer implements them with file
// handles and message boxes; tests and the packing tool have their own.
#pragma once

#include <stdint.h>

class BlockFile {
public:
    virtual ~BlockFile() {}
    // Opens an existing file for reading only, sharing read access with others.
    virtual bool Open(const char* path) = 0;
    // Closes the file if it is open.
    virtual void Close() = 0;
    // The file's length in bytes.
    virtual uint32_t Length() = 0;
    // Reads up to size bytes at offset; *got receives how many arrived (fewer
    // at the end of the file). False when the read failed: see LastError.
    virtual bool ReadAt(uint32_t offset, void* buffer, uint32_t size, uint32_t* got) = 0;
    // The system error number of the last failure.
    virtual uint32_t LastError() = 0;
};

class MessageReporter {
public:
    virtual ~MessageReporter() {}
    // Shows text under caption and waits until the user has seen it.
    virtual void Report(const char* text, const char* caption) = 0;
};
