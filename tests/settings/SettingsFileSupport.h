// Helpers for the settings-file tests through the real stand-in engine: the
// engine built beside the tests, and whole-file reads and writes.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "enginehost/EngineBinding.h"
#include "settings/ViewerSettings.h"
#include "tests/settings/FreshSettings.h"
#include "tests/support/ScratchDirectory.h"
#include "tests/support/TestProcess.h"

namespace ondisk {

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
        if (control_ != nullptr) control_->Destroy(1);
    }
    EngineCore* Core() { return control_ != nullptr ? control_->GetCore() : nullptr; }

private:
    EngineControl* control_;
};

inline std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD got = 0;
    if (!bytes.empty() &&
        !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        got = 0;
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
}

inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = bytes.empty() ||
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

}  // namespace ondisk
