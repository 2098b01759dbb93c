// Fuzzes the reading of the command line: cutting off the program name,
// choosing the mode on both kinds of platform, and the executable's path that
// the appended-data reader takes from it. The input is the raw command line
// (it ends at its first zero byte).
#include <string.h>

#include <string>
#include <vector>

#include "packdata/ExecutablePath.h"
#include "screensaver/CommandLine.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

const size_t pathField = 260;
const size_t guardBytes = 16;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The path is the line's first 259 characters up to and including the first
// ".scr" (any case) whose full stop is not the first character, without its
// double quotes; it fills at most the 260-byte field, terminator included.
void CheckExecutablePath(const char* line)
{
    std::vector<char> path(pathField + guardBytes, '#');
    ExecutablePathFromCommandLine(line, path.data());
    for (size_t i = pathField; i < path.size(); ++i) FUZZ_CHECK(path[i] == '#');
    FUZZ_CHECK(memchr(path.data(), '\0', pathField) != nullptr);

    size_t end = strnlen(line, pathField - 1);
    for (size_t dot = 1; dot + 3 < end; ++dot) {
        if (line[dot] == '.' && Lower(line[dot + 1]) == 's' && Lower(line[dot + 2]) == 'c' &&
            Lower(line[dot + 3]) == 'r') {
            end = dot + 4;
            break;
        }
    }
    std::string expected;
    for (size_t i = 0; i < end; ++i)
        if (line[i] != '"') expected += line[i];
    FUZZ_CHECK(expected == path.data());
}

bool IsBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= 0x20; }

// The skipped part is the program name (quoted, or a run of bytes above
// 0x20) and the blanks after it, and no more.
void CheckSkippedName(const char* line)
{
    const char* end = line + strlen(line);
    const char* rest = SkipProgramName(line);
    FUZZ_CHECK(rest >= line && rest <= end);
    FUZZ_CHECK(!IsBlank(*rest));
    const char* nameEnd = line;
    if (*line == '"') {
        const char* closing = strchr(line + 1, '"');
        nameEnd = closing ? closing + 1 : end;
    } else {
        while (*nameEnd && !IsBlank(*nameEnd)) ++nameEnd;
    }
    FUZZ_CHECK(rest >= nameEnd);
    for (const char* at = nameEnd; at < rest; ++at) FUZZ_CHECK(IsBlank(*at));
}

// The decimal digits at text, modulo 2^32.
uint32_t DigitsValue(const char* text)
{
    uint64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = (value * 10 + (*text - '0')) % (uint64_t(1) << 32);
    return static_cast<uint32_t>(value);
}

const char* AfterSpaces(const char* text)
{
    while (*text == ' ') ++text;
    return text;
}

bool SameMode(const SaverMode& a, const SaverMode& b)
{
    return a.kind == b.kind && a.windowNumber == b.windowNumber;
}

// The mode follows from the first character after the separators alone; a
// window number comes only with the modes that take one, read where the
// rules say.
void CheckMode(const char* arguments, bool win9x)
{
    SaverMode mode = DecideSaverMode(arguments, win9x);
    FUZZ_CHECK(SameMode(mode, DecideSaverMode(arguments, win9x)));
    int kind = static_cast<int>(mode.kind);
    FUZZ_CHECK(kind >= static_cast<int>(SaverModeKind::SettingsNoOwner) &&
               kind <= static_cast<int>(SaverModeKind::Reject));

    const char* letter = arguments;
    while (*letter == ' ' || *letter == '-' || *letter == '/') ++letter;
    SaverMode expected = {SaverModeKind::Reject, 0};
    switch (*letter) {
    case '\0': expected = {SaverModeKind::SettingsNoOwner, 0}; break;
    case 'a':
    case 'A':
        if (win9x) expected = {SaverModeKind::ChangePassword, DigitsValue(AfterSpaces(letter + 1))};
        break;
    case 'c':
    case 'C':
        expected = {SaverModeKind::SettingsOwned, letter[1] == ':' ? DigitsValue(letter + 2) : 0};
        break;
    case 'p':
    case 'P':
    case 'l':
    case 'L': expected = {SaverModeKind::Preview, DigitsValue(AfterSpaces(letter + 1))}; break;
    case 's':
    case 'S': expected = {SaverModeKind::FullScreen, 0}; break;
    }
    FUZZ_CHECK(SameMode(mode, expected));
    if (mode.kind == SaverModeKind::ChangePassword) FUZZ_CHECK(win9x);
    bool takesWindow = mode.kind == SaverModeKind::SettingsOwned ||
                       mode.kind == SaverModeKind::ChangePassword ||
                       mode.kind == SaverModeKind::Preview;
    if (!takesWindow) FUZZ_CHECK(mode.windowNumber == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> line(data, data + size);
    line.push_back('\0');
    CheckSkippedName(line.data());
    CheckExecutablePath(line.data());
    FUZZ_CHECK(ParseWindowNumber(line.data()) == DigitsValue(line.data()));
    const char* arguments = SkipProgramName(line.data());
    for (bool win9x : {false, true}) {
        CheckMode(arguments, win9x);
        // The whole line as arguments too: it may start with separators.
        CheckMode(line.data(), win9x);
    }
    // The platform matters only for the password change.
    SaverMode nt = DecideSaverMode(arguments, false);
    SaverMode win9x = DecideSaverMode(arguments, true);
    if (win9x.kind == SaverModeKind::ChangePassword)
        FUZZ_CHECK(nt.kind == SaverModeKind::Reject && nt.windowNumber == 0);
    else
        FUZZ_CHECK(SameMode(nt, win9x));
    return 0;
}
