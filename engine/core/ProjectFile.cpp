// Parsing the project file and filling in its text lines (see ProjectFile.h).
#include "ProjectFile.h"

#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <sstream>

namespace project {

namespace {

std::string Trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ParseColour(const std::string& text, Colour& colour)
{
    auto hex = [](char c) { return isxdigit(static_cast<unsigned char>(c)) != 0; };
    if (text.size() != 6 || !std::all_of(text.begin(), text.end(), hex)) return false;
    unsigned long value = strtoul(text.c_str(), nullptr, 16);
    colour = {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
              static_cast<uint8_t>(value)};
    return true;
}

bool ParseSpeed(const std::string& text, double& speed)
{
    if (text.empty()) return false;
    char* end = nullptr;
    double value = strtod(text.c_str(), &end);
    if (*end != '\0' || !(value > 0.0) || value > maxSpeed) return false;
    speed = value;
    return true;
}

// A whole number from lowest to highest, decimal or 0x hexadecimal.
bool ParseWhole(const std::string& text, long lowest, long highest, int& value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    long number = strtol(text.c_str(), &end, text.compare(0, 2, "0x") == 0 ? 16 : 10);
    if (*end != '\0' || number < lowest || number > highest) return false;
    value = static_cast<int>(number);
    return true;
}

// A "test-" line into faults; empty when sound, else what is wrong.
std::string ParseTestLine(const std::string& keyword, const std::string& argument,
                          TestFaults& faults)
{
    struct Numbered {
        const char* keyword;
        int* field;
        long lowest, highest;
    };
    const Numbered numbered[] = {
        {"test-hang-frame", &faults.hangAtFrame, 1, 1000000},
        {"test-slow-frame", &faults.slowFrameMilliseconds, 1, 60000},
        {"test-fault-frame", &faults.faultAtFrame, 1, 1000000},
        {"test-fault-message", &faults.faultOnMessage, 0, 0xFFFF},
        {"test-hang-message", &faults.hangOnMessage, 0, 0xFFFF},
    };
    for (const Numbered& line : numbered) {
        if (keyword != line.keyword) continue;
        if (ParseWhole(argument, line.lowest, line.highest, *line.field)) return std::string();
        return keyword + " needs a number from " + std::to_string(line.lowest) + " to " +
               std::to_string(line.highest);
    }
    bool* flag = keyword == "test-frame-sends"    ? &faults.frameSendsMessage
                 : keyword == "test-frame-closes" ? &faults.frameSendsClose
                 : keyword == "test-fault-load"   ? &faults.faultInLoad
                 : keyword == "test-hang-destroy" ? &faults.hangInDestroy
                                                  : nullptr;
    if (!flag) return "unknown keyword \"" + keyword + "\"";
    if (!argument.empty()) return keyword + " takes no argument";
    *flag = true;
    return std::string();
}

// Collects the file line by line, then resolves the text lines.
class Parser {
public:
    bool Line(int number, const std::string& line);
    bool Finish();
    ParseResult result;

private:
    bool Fail(int number, const std::string& message);
    bool SplitText(int number, const std::string& text);
    bool Resolve(const std::string& name, TextPart& part) const;

    // A text line as written: literal pieces and {name} references.
    struct Piece {
        std::string text;
        bool reference;
    };
    struct PendingLine {
        int number;
        std::vector<Piece> pieces;
    };
    std::vector<std::string> seenKeywords_;
    std::vector<PendingLine> pendingText_;
};

bool Parser::Fail(int number, const std::string& message)
{
    result.error = "line " + std::to_string(number) + ": " + message;
    return false;
}

bool Parser::Line(int number, const std::string& rawLine)
{
    std::string line = Trim(rawLine);
    if (line.empty() || line[0] == '#') return true;
    size_t space = line.find_first_of(" \t");
    std::string keyword = line.substr(0, space);
    std::string argument = space == std::string::npos ? std::string() : Trim(line.substr(space));
    Project& project = result.project;

    bool once = keyword == "scene" || keyword == "background" || keyword == "foreground" ||
                keyword == "speed" || keyword.compare(0, 5, "test-") == 0;
    if (once) {
        if (std::find(seenKeywords_.begin(), seenKeywords_.end(), keyword) != seenKeywords_.end())
            return Fail(number, "\"" + keyword + "\" given twice");
        seenKeywords_.push_back(keyword);
    }
    if (keyword == "scene") {
        if (argument == "orbit")
            project.scene = SceneKind::orbit;
        else if (argument == "ripples")
            project.scene = SceneKind::ripples;
        else
            return Fail(number, "unknown scene \"" + argument + "\" (orbit or ripples)");
    } else if (keyword == "background" || keyword == "foreground") {
        Colour& colour = keyword == "background" ? project.background : project.foreground;
        if (!ParseColour(argument, colour))
            return Fail(number, keyword + " must be six hexadecimal digits RRGGBB");
    } else if (keyword == "speed") {
        if (!ParseSpeed(argument, project.speed))
            return Fail(number, "speed must be a number above 0 and at most 100");
    } else if (keyword == "channel") {
        if (argument.empty() || argument.size() > maxChannelNameLength)
            return Fail(number, "channel name must have 1 to 63 characters");
        if (argument.find_first_of("{}") != std::string::npos)
            return Fail(number, "channel name may not contain { or }");
        auto& names = project.valueChannels;
        if (std::find(names.begin(), names.end(), argument) != names.end())
            return Fail(number, "channel \"" + argument + "\" defined twice");
        if (names.size() == maxValueChannels) return Fail(number, "more than 16 channels");
        names.push_back(argument);
    } else if (keyword == "plugin") {
        std::string guid = NormaliseGuidText(argument);
        if (guid.empty()) return Fail(number, "plugin needs a channel type GUID");
        auto& plugins = project.pluginChannels;
        if (std::find(plugins.begin(), plugins.end(), guid) != plugins.end())
            return Fail(number, "plugin " + guid + " named twice");
        if (plugins.size() == maxPluginChannels) return Fail(number, "more than 4 plugins");
        plugins.push_back(guid);
    } else if (keyword == "text") {
        if (pendingText_.size() == maxTextLines) return Fail(number, "more than 16 text lines");
        return SplitText(number, argument);
    } else if (keyword.compare(0, 5, "test-") == 0) {
        std::string wrong = ParseTestLine(keyword, argument, project.testFaults);
        if (!wrong.empty()) return Fail(number, wrong);
    } else {
        return Fail(number, "unknown keyword \"" + keyword + "\"");
    }
    return true;
}

bool Parser::SplitText(int number, const std::string& text)
{
    std::vector<Piece> pieces;
    size_t at = 0;
    while (at < text.size()) {
        size_t open = text.find('{', at);
        size_t close = text.find('}', at);
        if (close < open) return Fail(number, "} without {");
        if (open == std::string::npos) {
            pieces.push_back({text.substr(at), false});
            break;
        }
        if (open > at) pieces.push_back({text.substr(at, open - at), false});
        if (close == std::string::npos) return Fail(number, "{ without }");
        pieces.push_back({text.substr(open + 1, close - open - 1), true});
        at = close + 1;
    }
    pendingText_.push_back({number, pieces});
    return true;
}

// {name} shows the value channel of that name, else the plug-in channel of
// that type GUID.
bool Parser::Resolve(const std::string& name, TextPart& part) const
{
    const Project& project = result.project;
    auto& names = project.valueChannels;
    auto channel = std::find(names.begin(), names.end(), name);
    if (channel != names.end()) {
        part.valueChannel = static_cast<int>(channel - names.begin());
        return true;
    }
    auto& plugins = project.pluginChannels;
    auto plugin = std::find(plugins.begin(), plugins.end(), NormaliseGuidText(name));
    if (plugin != plugins.end()) {
        part.pluginChannel = static_cast<int>(plugin - plugins.begin());
        return true;
    }
    return false;
}

// References are resolved once every channel is known, so a text line may
// come before the channel it shows.
bool Parser::Finish()
{
    if (std::find(seenKeywords_.begin(), seenKeywords_.end(), "scene") == seenKeywords_.end())
        return Fail(0, "no scene line: not a project file");
    for (const PendingLine& line : pendingText_) {
        std::vector<TextPart> parts;
        for (const Piece& piece : line.pieces) {
            TextPart part;
            if (!piece.reference)
                part.literal = piece.text;
            else if (!Resolve(piece.text, part))
                return Fail(line.number, "text shows {" + piece.text +
                                             "}, which no channel or plugin line defines");
            parts.push_back(part);
        }
        result.project.textLines.push_back(parts);
    }
    return true;
}

}  // namespace

std::string NormaliseGuidText(const std::string& text)
{
    static const int groupLengths[] = {8, 4, 4, 4, 12};
    std::string upper;
    size_t at = 0;
    for (int group = 0; group < 5; ++group) {
        if (group > 0) {
            if (at >= text.size() || text[at] != '-') return std::string();
            upper += '-';
            ++at;
        }
        for (int i = 0; i < groupLengths[group]; ++i, ++at) {
            if (at >= text.size() || !isxdigit(static_cast<unsigned char>(text[at])))
                return std::string();
            upper += static_cast<char>(toupper(static_cast<unsigned char>(text[at])));
        }
    }
    return at == text.size() ? upper : std::string();
}

std::string FormatValue(float value)
{
    char text[48];
    snprintf(text, sizeof text, "%g", static_cast<double>(value));
    std::string result = text;
    if (isfinite(value) && result.find_first_of(".e") == std::string::npos) result += ".0";
    return result;
}

std::string ComposeTextLine(const std::vector<TextPart>& parts, const std::vector<float>& values,
                            const std::vector<std::string>& pluginTexts)
{
    std::string line;
    for (const TextPart& part : parts) {
        if (part.valueChannel >= 0 && static_cast<size_t>(part.valueChannel) < values.size())
            line += FormatValue(values[part.valueChannel]);
        else if (part.pluginChannel >= 0 &&
                 static_cast<size_t>(part.pluginChannel) < pluginTexts.size())
            line += pluginTexts[part.pluginChannel];
        else
            line += part.literal;
    }
    return line;
}

ParseResult ParseProject(const std::string& text)
{
    Parser parser;
    if (text.size() > maxProjectFileSize) {
        parser.result.error = "project file larger than 64 KiB";
        return parser.result;
    }
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        if (!parser.Line(++number, line)) return parser.result;
    }
    parser.result.ok = parser.Finish();
    return parser.result;
}

}  // namespace project
