// The executable's path taken from the command line, and the block's CRC-32.
#include "packdata/Crc32.h"
#include "packdata/ExecutablePath.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ExecutablePath, EndsAtTheFirstScrExtension)
{
    std::string longPath = "C:\\" + std::string(300, 'd') + "\\x.scr";
    struct Case {
        const char* rule;
        std::string commandLine;
        std::string path;
    } cases[] = {
        {"quoted path and switch", "\"C:\\My Savers\\Demo.SCR\" /s", "C:\\My Savers\\Demo.SCR"},
        {"the line ends with the path itself", "\"C:\\x.scr\"", "C:\\x.scr"},
        {"no quotes and no switch", "C:\\x.sCr", "C:\\x.sCr"},
        {"quotes are dropped wherever they stand", "\"C:\\a\"b\\x.scr\" /p 5", "C:\\ab\\x.scr"},
        {"a folder named x.scr ends the path", "\"C:\\x.scrfolder\\y.scr\" /s", "C:\\x.scr"},
        {"no .scr: the whole line", "\"C:\\x.exe\" /s", "C:\\x.exe /s"},
        {"a full stop in first place does not count", ".scr", ".scr"},
        {"a full stop at index 1 counts", "\".scr\" /s", ".scr"},
        {"lines are cut to 259 characters", longPath, longPath.substr(0, 259)},
        {"empty line", "", ""},
    };
    for (const Case& c : cases) {
        char path[260];
        memset(path, 'z', sizeof path);
        ExecutablePathFromCommandLine(c.commandLine.c_str(), path);
        EXPECT_EQ(c.path, path) << c.rule;
    }
}

TEST(Crc32, MatchesTheStandardCheckValues)
{
    struct Case {
        const char* rule;
        std::string data;
        uint32_t crc;
    } cases[] = {
        {"empty data", "", 0x00000000u},
        {"the standard check string", "123456789", 0xCBF43926u},
        {"one zero byte", std::string(1, '\0'), 0xD202EF8Du},
        {"a pangram", "The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const Case& c : cases) EXPECT_EQ(c.crc, Crc32(c.data.data(), c.data.size())) << c.rule;
    EXPECT_EQ(0xCBF43926u, Crc32("6789", 4, Crc32("12345", 5))) << "a CRC can be continued";
}

}  // namespace
