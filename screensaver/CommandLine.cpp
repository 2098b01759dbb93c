// Reading the screen saver's command line (see CommandLine.h).
#include "screensaver/CommandLine.h"

namespace {

bool IsAbove(char c, unsigned limit) { return static_cast<unsigned char>(c) > limit; }

const char* SkipSpaces(const char* text)
{
    while (*text == ' ') ++text;
    return text;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const char* SkipProgramName(const char* commandLine)
{
    const char* at = commandLine;
    if (*at == '"') {
        ++at;
        while (*at && *at != '"') ++at;
        if (*at == '"') ++at;
    } else {
        while (IsAbove(*at, 0x20)) ++at;
    }
    while (*at && !IsAbove(*at, 0x20)) ++at;
    return at;
}

uint32_t ParseWindowNumber(const char* text)
{
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10u + static_cast<uint32_t>(*text - '0');
    return value;
}

SaverMode DecideSaverMode(const char* arguments, bool win9x)
{
    const char* at = arguments;
    while (*at == ' ' || *at == '-' || *at == '/') ++at;

    switch (Lower(*at)) {
    case '\0': return {SaverModeKind::SettingsNoOwner, 0};
    case 'a':
        if (!win9x) break;
        return {SaverModeKind::ChangePassword, ParseWindowNumber(SkipSpaces(at + 1))};
    case 'c':
        // Only "c:NNN" names an owner; "c NNN" does not.
        return {SaverModeKind::SettingsOwned, at[1] == ':' ? ParseWindowNumber(at + 2) : 0};
    case 'p':
    case 'l': return {SaverModeKind::Preview, ParseWindowNumber(SkipSpaces(at + 1))};
    case 's': return {SaverModeKind::FullScreen, 0};
    }
    return {SaverModeKind::Reject, 0};
}
