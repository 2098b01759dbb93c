// Helpers for the settings-file tests through the real stand-in engine:
// scratch directories of an exact path length, the engine built beside the
// tests, and whole-file reads and writes.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/EngineBinding.h"
#include "settings/ViewerSettings.h"
#include "tests/settings/FreshSettings.h"
#include "tests/support/TestProcess.h"

namespace ondisk {

// A fresh directory under the temporary folder whose Windows path is exactly
// length characters (padded with 'd'); removed again with the files named
// to Remember.
class ScratchDirectory {
public:
    explicit ScratchDirectory(size_t length)
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int counter;
        path_ = std::string(temp) + "settings" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++counter) + "_";
        if (path_.size() < length)
            path_ += std::string(length - path_.size(), 'd');
        created_ = path_.size() == length && CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchDirectory()
    {
        for (const std::string& file : files_)
            DeleteFileA(file.c_str());
        RemoveDirectoryA(path_.c_str());
    }
    bool Created() const { return created_; }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name)
    {
        files_.push_back(path_ + "\\" + name);
        return files_.back();
    }
    // Names of everything in the directory but "." and "..".
    std::vector<std::string> Listing() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

private:
    std::string path_;
    bool created_ = false;
    std::vector<std::string> files_;
};

// The stand-in engine beside the tests, bound for the settings' chunk files.
class StandInEngine {
public:
    StandInEngine()
    {
        SavedPath saved;
        control_ = LoadEngineLibrary(ProgramDirectory().c_str());
    }
    ~StandInEngine()
    {
        if (control_ != nullptr)
            control_->Destroy(1);
    }
    EngineCore* Core() { return control_ != nullptr ? control_->GetCore() : nullptr; }

private:
    EngineControl* control_;
};

inline std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD got = 0;
    if (!bytes.empty() && !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        got = 0;
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
}

inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = bytes.empty() ||
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

}  // namespace ondisk
