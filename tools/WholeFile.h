// Whole-file reads and writes for the host tools.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// Reads the regular file at path whole into bytes; false when it cannot.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);

// Writes bytes beside path first and moves them over it, so a failed write
// never leaves a half file; false (nothing changed) when it fails.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
