// The stand-in engine's project file: a small line-based text format (see
// engine/README.md) naming the scene to animate, its colours and speed, the
// value channels the project defines, plug-in channels, and text lines that
// show channel values. Parsing is portable and checks everything.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace project {

enum class SceneKind { orbit, ripples };

struct Colour {
    uint8_t red, green, blue;
};

// One piece of a text line: literal text, or the value of a value channel,
// or the text of a plug-in channel (indexes into Project's lists).
struct TextPart {
    std::string literal;
    int valueChannel = -1;
    int pluginChannel = -1;
};

// Misbehaviour on request, for the viewer's tests only: the "test-" lines
// (engine/README.md). The defaults ask for none.
struct TestFaults {
    int hangAtFrame = 0;             // Frame number N never returns
    int slowFrameMilliseconds = 0;   // every Frame takes this much longer
    bool frameSendsMessage = false;  // every Frame sends WM_APP to the window
    bool frameSendsClose = false;    // once WM_CLOSE came, every Frame sends one
    int faultAtFrame = 0;            // Frame number N faults
    int faultOnMessage = -1;         // WindowMessage faults on this message
    bool faultInLoad = false;        // LoadProject faults once the file is read
    int hangOnMessage = -1;          // WindowMessage never returns from this message
    bool hangInDestroy = false;      // the control's Destroy never returns
};

struct Project {
    SceneKind scene = SceneKind::orbit;  // a project must name it
    Colour background{0, 0, 0};
    Colour foreground{255, 255, 255};
    double speed = 1.0;
    std::vector<std::string> valueChannels;
    // Plug-in channel types, as upper-case GUID text without braces.
    std::vector<std::string> pluginChannels;
    std::vector<std::vector<TextPart>> textLines;
    TestFaults testFaults;
};

// Limits that keep a damaged or hostile file from growing without bound.
constexpr size_t maxProjectFileSize = 64 * 1024;
constexpr size_t maxChannelNameLength = 63;
constexpr size_t maxValueChannels = 16;
constexpr size_t maxPluginChannels = 4;
constexpr size_t maxTextLines = 16;
constexpr double maxSpeed = 100.0;

struct ParseResult {
    bool ok = false;
    std::string error;  // "line N: what is wrong" when not ok
    Project project;
};

ParseResult ParseProject(const std::string& text);

// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" in hexadecimal of either case, in
// upper case; empty when text is not a GUID.
std::string NormaliseGuidText(const std::string& text);

// A text line with its channels' current values filled in; values show as
// decimals with at least one fraction digit (1.0, 0.0, 0.25).
std::string ComposeTextLine(const std::vector<TextPart>& parts, const std::vector<float>& values,
                            const std::vector<std::string>& pluginTexts);

std::string FormatValue(float value);

}  // namespace project
