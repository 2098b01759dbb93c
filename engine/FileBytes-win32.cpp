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
    file_ = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return false;
    made_ = GetLastError() != ERROR_ALREADY_EXISTS;
    DWORD sizeHigh = 0;
    DWORD size = GetFileSize(file_, &sizeHigh);
    bool ok = size != INVALID_FILE_SIZE && sizeHigh == 0;
    DWORD read = 0;
    if (ok) old_.assign(size, 0);
    ok = ok && (size == 0 || (ReadFile(file_, old_.data(), size, &read, nullptr) && read == size));
    if (!ok) Abandon();
    return ok;
}

bool FileReplacement::WriteWhole(const std::vector<uint8_t>& bytes)
{
    DWORD written = 0;
    return SetFilePointer(file_, 0, nullptr, FILE_BEGIN) == 0 &&
           (bytes.empty() ||
            (WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size())) &&
           SetEndOfFile(file_) && FlushFileBuffers(file_);
}

bool FileReplacement::Commit(const std::vector<uint8_t>& bytes)
{
    if (file_ == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteWhole(bytes);
    if (ok) {
        CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    } else {
        WriteWhole(old_);
        Abandon();
    }
    return ok;
}

void FileReplacement::Abandon()
{
    if (file_ == INVALID_HANDLE_VALUE) return;
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    if (made_) DeleteFileA(path_.c_str());
    old_.clear();
}
