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

// Replaces a file's content safely: the new content goes to a temporary file
// beside it, named as the path with its last character changed to '~' (to '#'
// if it is '~'), and is moved over the old file only once written whole, so
// a failed or abandoned write never leaves a damaged file behind.
class FileReplacement {
public:
    ~FileReplacement();
    // Creates the temporary file; false when the file cannot be written.
    bool Begin(const char* path);
    // Writes bytes and moves them over the file; false on any failure.
    bool Commit(const std::vector<uint8_t>& bytes);
    // Drops the temporary file, leaving the old file as it was.
    void Abandon();

private:
    std::string path_, temporary_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
};
