// Joins a recorded call log into one text, a line per call, so a mismatch
// prints both logs whole.
#pragma once

#include <string>
#include <vector>

inline std::string Joined(const std::vector<std::string>& log)
{
    std::string all;
    for (const std::string& line : log) all += line + "\n";
    return all;
}
