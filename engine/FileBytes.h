// Whole-file reads and writes for the engine's files (settings and project).
#pragma once

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// Reads the whole file; false when it cannot be opened or read, or when it
// is larger than maxSize (then nothing is read).
bool ReadFileBytes(const char* path, size_t maxSize, std::vector<uint8_t>& bytes);

// Replaces a file's content in place, so that saving needs the right to
// change that one file and none in its directory (a standard user may be
// given exactly that). The old content is read first and written back when
// the new one cannot be written whole, and a file Begin made is removed
// again, so a failed or abandoned write leaves the file as it was.
class FileReplacement {
public:
    ~FileReplacement();
    // Opens the file for writing, making it when missing; false when it
    // cannot be written (no rights, read-only) or its content not read.
    bool Begin(const char* path);
    // Writes bytes over the old content; false on any failure.
    bool Commit(const std::vector<uint8_t>& bytes);
    // Leaves the file as it was.
    void Abandon();

private:
    bool WriteWhole(const std::vector<uint8_t>& bytes);

    std::string path_;
    std::vector<uint8_t> old_;
    bool made_ = false;
    HANDLE file_ = INVALID_HANDLE_VALUE;
};
