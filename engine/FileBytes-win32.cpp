// Whole-file reads and safe whole-file replacement (see FileBytes.h).
#include "FileBytes.h"

bool ReadFileBytes(const char* path, size_t maxSize, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD sizeHigh = 0;
    DWORD size = GetFileSize(file, &sizeHigh);
    bool ok = size != INVALID_FILE_SIZE && sizeHigh == 0 && size <= maxSize;
    if (ok && size > 0) {
        bytes.assign(size, 0);
        DWORD read = 0;
        ok = ReadFile(file, bytes.data(), size, &read, nullptr) && read == size;
    }
    CloseHandle(file);
    if (!ok) bytes.clear();
    return ok;
}

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::Begin(const char* path)
{
    Abandon();
    path_ = path;
    // Same directory and same length as the file, so any path the file can
    // have, the temporary can have too (a longer name fails near 260 characters).
    temporary_ = path_;
    if (!temporary_.empty()) temporary_.back() = temporary_.back() == '~' ? '#' : '~';
    file_ = CreateFileA(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    return file_ != INVALID_HANDLE_VALUE;
}

bool FileReplacement::Commit(const std::vector<uint8_t>& bytes)
{
    if (file_ == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    ok = CloseHandle(file_) && ok;
    file_ = INVALID_HANDLE_VALUE;
    ok = ok && MoveFileExA(temporary_.c_str(), path_.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileA(temporary_.c_str());
    temporary_.clear();
    return ok;
}

void FileReplacement::Abandon()
{
    if (file_ == INVALID_HANDLE_VALUE) return;
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    DeleteFileA(temporary_.c_str());
    temporary_.clear();
}
