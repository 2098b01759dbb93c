// Reading the saver's command line: the program name cut off, window numbers,
// and the mode the arguments select. Runs natively and under Wine.
#include "screensaver/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SkipProgramName, LeavesTheArguments)
{
    struct Case {
        const char* rule;
        const char* commandLine;
        const char* arguments;
    } cases[] = {
        {"quoted path, blank, switch", "\"C:\\a b\\x.scr\" /s", "/s"},
        {"quoted path followed directly by the switch", "\"C:\\x.scr\"/s", "/s"},
        {"quoted path alone", "\"C:\\x.scr\"", ""},
        {"an unclosed quote takes the whole line", "\"C:\\x.scr /s", ""},
        {"unquoted path ends at the first blank", "C:\\x.scr /p 530", "/p 530"},
        {"tabs and other control bytes after the name are stepped over", "x.scr \t\x01 /c", "/c"},
        {"bytes 0x80 and above belong to the name", "C:\\\x82\xa0.scr /s", "/s"},
        {"a leading blank leaves an empty name", " /s", "/s"},
        {"a tab after the separator stays in the arguments", "x.scr /\ts", "/\ts"},
        {"empty command line", "", ""},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.arguments, SkipProgramName(c.commandLine)) << c.rule;
}

TEST(ParseWindowNumber, ReadsLeadingDecimalDigits)
{
    struct Case {
        const char* rule;
        const char* text;
        uint32_t value;
    } cases[] = {
        {"plain number", "530", 530},
        {"stops at a blank", "530 12", 530},
        {"stops at a colon", "53:0", 53},
        {"stops at a byte of 0x80 and above",
         "5\xb3"
         "0",
         5},
        {"no digits give 0", "abc", 0},
        {"leading blanks are not accepted", " 530", 0},
        {"signs are not accepted", "-530", 0},
        {"empty text", "", 0},
        {"largest 32-bit value", "4294967295", 4294967295u},
        {"wraps past 32 bits", "4294967296", 0},
        {"eleven digits wrap modulo 2^32", "12345678901", static_cast<uint32_t>(12345678901ull)},
    };
    for (const Case& c : cases) EXPECT_EQ(c.value, ParseWindowNumber(c.text)) << c.rule;
}

std::string Describe(SaverMode mode)
{
    static const char* const names[] = {"SettingsNoOwner", "SettingsOwned", "ChangePassword",
                                        "Preview",         "FullScreen",    "Reject"};
    return std::string(names[static_cast<int>(mode.kind)]) + " " +
           std::to_string(mode.windowNumber);
}

TEST(DecideSaverMode, FirstLetterAfterSeparatorsDecides)
{
    using K = SaverModeKind;
    struct Case {
        const char* rule;
        const char* arguments;
        bool win9x;
        SaverMode expected;
    } cases[] = {
        {"no arguments: settings without owner", "", false, {K::SettingsNoOwner, 0}},
        {"separators alone: settings without owner", " -/", false, {K::SettingsNoOwner, 0}},
        {"/s runs full screen", "/s", false, {K::FullScreen, 0}},
        {"upper case and '-'", "-S", false, {K::FullScreen, 0}},
        {"no separator", "s", false, {K::FullScreen, 0}},
        {"separators in any mix", "/ -s", false, {K::FullScreen, 0}},
        {"only the first letter counts", "/save", false, {K::FullScreen, 0}},
        {"'/settings' is full screen too", "/settings", false, {K::FullScreen, 0}},
        {"unknown letter", "/x", false, {K::Reject, 0}},
        {"question mark", "/?", false, {K::Reject, 0}},
        {"a leading double quote", "\"/s\"", false, {K::Reject, 0}},
        {"a tab is no separator", "/\ts", false, {K::Reject, 0}},
        {"preview with blank", "/p 530", false, {K::Preview, 530}},
        {"preview without blank", "/p530", false, {K::Preview, 530}},
        {"preview with several blanks, upper case", "/P   530", false, {K::Preview, 530}},
        {"preview without number", "/p", false, {K::Preview, 0}},
        {"preview with 0", "/p 0", false, {K::Preview, 0}},
        {"preview with letters", "/p abc", false, {K::Preview, 0}},
        {"preview with colon gives no number", "/p:530", false, {K::Preview, 0}},
        {"'l' is the preview", "/l 530", false, {K::Preview, 530}},
        {"eleven digits wrap",
         "/p 12345678901",
         false,
         {K::Preview, static_cast<uint32_t>(12345678901ull)}},
        {"settings alone", "/c", false, {K::SettingsOwned, 0}},
        {"settings with colon and owner", "/c:530", false, {K::SettingsOwned, 530}},
        {"settings with blank has no owner", "/c 530", false, {K::SettingsOwned, 0}},
        {"'/config' is the settings mode", "/config", false, {K::SettingsOwned, 0}},
        {"settings owner 0", "/c:0", false, {K::SettingsOwned, 0}},
        {"password change on Win9x", "/a 530", true, {K::ChangePassword, 530}},
        {"password change, upper case, no blank", "/A530", true, {K::ChangePassword, 530}},
        {"password change elsewhere is rejected", "/a 530", false, {K::Reject, 0}},
        {"Win9x changes nothing else", "/s", true, {K::FullScreen, 0}},
    };
    for (const Case& c : cases) {
        SaverMode mode = DecideSaverMode(c.arguments, c.win9x);
        EXPECT_EQ(Describe(c.expected), Describe(mode)) << c.rule << " ['" << c.arguments << "']";
    }
}

}  // namespace
