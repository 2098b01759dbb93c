// The test process's own surroundings: its PATH (saved and put back around a
// test that changes it) and the folder of the test programs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// This process's PATH, or "<unset>".
inline std::string ReadPath()
{
    DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
    if (size == 0) return "<unset>";
    std::vector<char> buffer(size + 1);
    GetEnvironmentVariableA("PATH", buffer.data(), size + 1);
    return buffer.data();
}

// Puts the test process's own PATH back when a test ends.
class SavedPath {
public:
    SavedPath() : path_(ReadPath()) {}
    ~SavedPath() { SetEnvironmentVariableA("PATH", path_ == "<unset>" ? nullptr : path_.c_str()); }

private:
    std::string path_;
};

// The folder of the test programs, where the stand-ins are built beside them.
inline std::string ProgramDirectory()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.rfind('\\'));
}
