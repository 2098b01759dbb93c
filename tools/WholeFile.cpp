// Whole-file reads and writes (see WholeFile.h).
#include "tools/WholeFile.h"

#include <stdio.h>

#include <filesystem>
#include <fstream>
#include <iterator>

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    if (!std::filesystem::is_regular_file(path)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::string temporary = path + ".partial";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            out.close();
            remove(temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) remove(temporary.c_str());
    return !error;
}
