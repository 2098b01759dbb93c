// The bounded texts the viewer builds its file names, key path and copies
// with, up to the longest names users can hand it: each fits whole or is
// refused with an empty result, never cut, and nothing is written past a buffer.
#include "common/BoundedText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string viewersKey = "SOFTWARE\\Velcor\\Ormelix Viewers\\3.00.000";
const size_t keyPathSize = 264;

std::string Directory(size_t length) { return "C:\\" + std::string(length - 3, 'd'); }

TEST(BoundedText, JoinPathFitsOrFailsWithAnEmptyResult)
{
    struct Row {
        const char* rule;
        size_t outSize;
        std::string directory;
        std::string name;
        bool fits;
    } rows[] = {
        {"room to spare", 64, "C:\\Dir", "name", true},
        {"exactly fills the buffer with its terminator", 12, "C:\\Dir", "name", true},  // 6+1+4+1
        {"one character too many", 11, "C:\\Dir", "name", false},
        {"a long directory in a 260-byte buffer", 260, std::string(248, 'd'), "drovik.dll", true},
        {"one character past 259", 260, std::string(249, 'd'), "drovik.dll", false},
        {"no buffer at all", 0, "C:\\Dir", "name", false},
        // 40 + 1 + 222 = 263 characters and the terminator: the longest key path.
        {"a project name of 222 characters", keyPathSize, viewersKey, std::string(222, 'p'), true},
        {"a project name of 223 characters", keyPathSize, viewersKey, std::string(223, 'p'), false},
        // 243 + 1 + 15 = 259 characters: the longest settings file path.
        {"the settings file in 243 characters", 260, Directory(243), "screensaver.cfg", true},
        {"the settings file in 244 characters", 260, Directory(244), "screensaver.cfg", false},
        {"the settings file in 259 characters", 260, Directory(259), "screensaver.cfg", false},
    };
    for (const Row& row : rows) {
        std::vector<char> out(row.outSize + 1, '#');  // one guard byte past the buffer
        bool fits = JoinPath(out.data(), row.outSize, row.directory.c_str(), row.name.c_str());
        EXPECT_EQ(row.fits, fits) << row.rule;
        EXPECT_EQ('#', out[row.outSize]) << row.rule << ": wrote past the buffer";
        if (row.outSize == 0) continue;
        EXPECT_EQ(row.fits ? row.directory + "\\" + row.name : "", std::string(out.data()))
            << row.rule;
    }
}

TEST(BoundedText, CopyTextCutsAtTheLimitAndAlwaysTerminates)
{
    struct Row {
        const char* rule;
        size_t length;
        size_t stored;
    } rows[] = {
        {"a short text is copied and terminated", 10, 10},
        {"258 characters are stored whole", 258, 258},
        {"259 characters are stored whole", 259, 259},
        {"300 characters are cut to 259", 300, 259},
    };
    for (const Row& row : rows) {
        std::vector<char> buffer(261, 'z');  // one guard byte past the buffer
        std::string source(row.length, 'a');
        CopyText(buffer.data(), 260, source.c_str());
        EXPECT_EQ(std::string(row.stored, 'a'), std::string(buffer.data())) << row.rule;
        EXPECT_EQ('z', buffer[260]) << row.rule << ": wrote past the buffer";
    }
}

}  // namespace
