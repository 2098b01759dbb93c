// A fresh directory under the temporary folder for one test, removed again
// with the files named to File; its Windows path can be made exactly length
// characters long (padded with 'd') to try the viewer's path limits.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class ScratchDirectory {
public:
    explicit ScratchDirectory(size_t length = 0)
    {
        static int counter;
        path_ = Prefix() + std::to_string(++counter) + "_";
        if (path_.size() < length) path_ += std::string(length - path_.size(), 'd');
        created_ =
            (length == 0 || path_.size() == length) && CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchDirectory()
    {
        for (const std::string& file : files_) DeleteFileA(file.c_str());
        RemoveDirectoryA(path_.c_str());
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // Where every scratch directory of this process begins.
    static std::string Prefix()
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        return std::string(temp) + "scratch" + std::to_string(GetCurrentProcessId()) + "_";
    }
    bool Created() const { return created_; }
    const std::string& Path() const { return path_; }
    // The path of name in the directory, removed with it.
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
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

private:
    std::string path_;
    bool created_ = false;
    std::vector<std::string> files_;
};
