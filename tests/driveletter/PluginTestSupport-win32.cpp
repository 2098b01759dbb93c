// Helpers shared by the Win32 tests of the channel libraries.
#include "PluginTestSupport.h"

#include <fstream>
#include <sstream>

namespace {

std::string TempDirectory()
{
    char buffer[MAX_PATH];
    DWORD length = GetTempPathA(sizeof buffer, buffer);
    return std::string(buffer, length);
}

std::string UniqueName(const char* prefix)
{
    static int serial = 0;
    return TempDirectory() + prefix + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++serial);
}

}  // namespace

ScopedTraceFile::ScopedTraceFile() : path(UniqueName("channel-trace-") + ".txt")
{
    SetEnvironmentVariableA("ORMELIX_ENGINE_TRACE", path.c_str());
}

ScopedTraceFile::~ScopedTraceFile()
{
    SetEnvironmentVariableA("ORMELIX_ENGINE_TRACE", nullptr);
    DeleteFileA(path.c_str());
}

std::vector<std::string> ScopedTraceFile::Lines() const
{
    std::vector<std::string> lines;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> ScopedTraceFile::LinesOf(const char* op) const
{
    std::vector<std::string> matching;
    const std::string marker = std::string(" ") + op;
    for (const std::string& line : Lines()) {
        size_t at = line.find(marker);
        if (at == std::string::npos) continue;
        std::string rest = line.substr(at + marker.size());
        if (!rest.empty() && rest[0] != ' ') continue;  // a longer operation name
        matching.push_back(rest.empty() ? rest : rest.substr(1));
    }
    return matching;
}

std::string DrivesFromDriveStrings()
{
    char buffer[4 * 26 + 2] = {};
    DWORD length = GetLogicalDriveStringsA(sizeof buffer, buffer);
    std::string drives;
    // Entries are "X:\" with a terminator each; the list ends with an empty one.
    for (const char* entry = buffer; entry < buffer + length && *entry;
         entry += strlen(entry) + 1) {
        drives += static_cast<char>(toupper(static_cast<unsigned char>(entry[0])));
        drives += ';';
    }
    return drives;
}

ScopedTempDir::ScopedTempDir() : path(UniqueName("channel-test-"))
{
    CreateDirectoryA(path.c_str(), nullptr);
}

ScopedTempDir::~ScopedTempDir()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA(File(found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::string PluginPath()
{
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    std::string path(program, length);
    return path.substr(0, path.find_last_of('\\') + 1) + pluginFileName;
}

HMODULE SupplierOf(const void* address)
{
    auto code = static_cast<const unsigned char*>(address);
    if (code[0] == 0xFF && code[1] == 0x25)  // jmp dword ptr [import address]
        address = **reinterpret_cast<void* const* const*>(code + 2);
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        static_cast<const char*>(address), &module);
    return module;
}
