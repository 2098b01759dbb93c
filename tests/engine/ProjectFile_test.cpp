// The project file: what a valid file yields, one row per error rule, the
// composing of text lines, and resolving the project path.
#include "ProjectFile.h"

#include <gtest/gtest.h>

#include "ProjectPath.h"

using namespace project;

TEST(ProjectFile, ValidFileYieldsEverySetting)
{
    ParseResult parsed = ParseProject(
        "# a comment\r\n"
        "scene ripples\r\n"
        "background 0A1B2c\n"
        "  foreground FFfF00  \n"
        "speed 2.5\n"
        "text Saver {OrmelixSaver}, drives {3b1e6c52-8a47-4d90-b2f3-5c81a7e04d26}\n"
        "channel OrmelixSaver\n"
        "channel Two words\n"
        "plugin 3b1e6c52-8a47-4d90-b2f3-5c81a7e04d26\n"
        "\n"
        "text {Two words}\n");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const Project& p = parsed.project;
    EXPECT_EQ(SceneKind::ripples, p.scene);
    EXPECT_EQ(0x0A, p.background.red);
    EXPECT_EQ(0x1B, p.background.green);
    EXPECT_EQ(0x2C, p.background.blue);
    EXPECT_EQ(0xFF, p.foreground.green);
    EXPECT_EQ(0x00, p.foreground.blue);
    EXPECT_DOUBLE_EQ(2.5, p.speed);
    EXPECT_EQ((std::vector<std::string>{"OrmelixSaver", "Two words"}), p.valueChannels);
    EXPECT_EQ((std::vector<std::string>{"3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26"}), p.pluginChannels);
    ASSERT_EQ(2u, p.textLines.size());
    // The first line names a channel defined after it.
    EXPECT_EQ("Saver 1.0, drives A;C;", ComposeTextLine(p.textLines[0], {1.0f, 0.0f}, {"A;C;"}));
    EXPECT_EQ("0.25", ComposeTextLine(p.textLines[1], {1.0f, 0.25f}, {"A;C;"}));
}

TEST(ProjectFile, DefaultsApplyWhenOnlyTheSceneIsGiven)
{
    ParseResult parsed = ParseProject("scene orbit");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(SceneKind::orbit, parsed.project.scene);
    EXPECT_EQ(0, parsed.project.background.red);
    EXPECT_EQ(255, parsed.project.foreground.red);
    EXPECT_DOUBLE_EQ(1.0, parsed.project.speed);
    EXPECT_TRUE(parsed.project.textLines.empty());
}

TEST(ProjectFile, TestLinesAskForMisbehaviour)
{
    ParseResult parsed = ParseProject(
        "scene orbit\ntest-hang-frame 3\ntest-slow-frame 250\ntest-frame-sends\n"
        "test-fault-frame 7\ntest-fault-message 0x0100\ntest-fault-load\n"
        "test-hang-message 0x000F\ntest-hang-destroy\ntest-frame-closes\n");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const TestFaults& asked = parsed.project.testFaults;
    EXPECT_EQ(3, asked.hangAtFrame);
    EXPECT_EQ(250, asked.slowFrameMilliseconds);
    EXPECT_TRUE(asked.frameSendsMessage);
    EXPECT_EQ(7, asked.faultAtFrame);
    EXPECT_EQ(0x0100, asked.faultOnMessage);
    EXPECT_TRUE(asked.faultInLoad);
    EXPECT_EQ(0x000F, asked.hangOnMessage);
    EXPECT_TRUE(asked.hangInDestroy);
    EXPECT_TRUE(asked.frameSendsClose);
    // Message 0 is a message like any other, not "none".
    EXPECT_EQ(0,
              ParseProject("scene orbit\ntest-fault-message 0").project.testFaults.faultOnMessage);
}

TEST(ProjectFile, ErrorsNameTheLineAndTheFault)
{
    std::string manyChannels = "scene orbit\n";
    for (int i = 0; i <= 16; ++i) manyChannels += "channel c" + std::to_string(i) + "\n";
    std::string manyTexts = "scene orbit\n";
    for (int i = 0; i <= 16; ++i) manyTexts += "text t\n";
    struct Case {
        const char* rule;
        std::string text;
        std::string error;
    } cases[] = {
        {"a project names its scene", "# nothing\n", "line 0: no scene line: not a project file"},
        {"the scene is orbit or ripples", "scene spiral",
         "line 1: unknown scene \"spiral\" (orbit or ripples)"},
        {"keywords are known", "scene orbit\ncolour 000000", "line 2: unknown keyword \"colour\""},
        {"settings are given once", "scene orbit\nscene orbit", "line 2: \"scene\" given twice"},
        {"colours have six hex digits", "scene orbit\nbackground 12345",
         "line 2: background must be six hexadecimal digits RRGGBB"},
        {"colours are hexadecimal", "scene orbit\nforeground 12345G",
         "line 2: foreground must be six hexadecimal digits RRGGBB"},
        {"colours are plain ASCII", "scene orbit\nforeground 12345\xE9",
         "line 2: foreground must be six hexadecimal digits RRGGBB"},
        {"speed is above 0", "scene orbit\nspeed 0",
         "line 2: speed must be a number above 0 and at most 100"},
        {"speed is at most 100", "scene orbit\nspeed 101",
         "line 2: speed must be a number above 0 and at most 100"},
        {"speed is a whole number", "scene orbit\nspeed 1x",
         "line 2: speed must be a number above 0 and at most 100"},
        {"speed is not NaN", "scene orbit\nspeed nan",
         "line 2: speed must be a number above 0 and at most 100"},
        {"a channel has a name", "scene orbit\nchannel",
         "line 2: channel name must have 1 to 63 characters"},
        {"a channel name fits 63 characters", "scene orbit\nchannel " + std::string(64, 'x'),
         "line 2: channel name must have 1 to 63 characters"},
        {"a channel name has no braces", "scene orbit\nchannel a{b}",
         "line 2: channel name may not contain { or }"},
        {"channels are defined once", "scene orbit\nchannel a\nchannel a",
         "line 3: channel \"a\" defined twice"},
        {"at most 16 channels", manyChannels, "line 18: more than 16 channels"},
        {"at most 16 text lines", manyTexts, "line 18: more than 16 text lines"},
        {"a plugin names a GUID", "scene orbit\nplugin drives.dll",
         "line 2: plugin needs a channel type GUID"},
        {"a plugin GUID is whole", "scene orbit\nplugin 3B1E6C52-8A47-4D90-B2F3-5C81A7E04D2",
         "line 2: plugin needs a channel type GUID"},
        {"a plugin is named once",
         "scene orbit\nplugin 3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26\nplugin 3b1e6c52-8a47-4d90-b2f3-5c81a7e04d26",
         "line 3: plugin 3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26 named twice"},
        {"a reference is closed", "scene orbit\ntext value {x", "line 2: { without }"},
        {"a brace closes only a reference", "scene orbit\ntext value }x", "line 2: } without {"},
        {"a test frame number is 1 or more", "scene orbit\ntest-hang-frame 0",
         "line 2: test-hang-frame needs a number from 1 to 1000000"},
        {"a test number is whole", "scene orbit\ntest-slow-frame 2.5",
         "line 2: test-slow-frame needs a number from 1 to 60000"},
        {"a test message fits 16 bits", "scene orbit\ntest-fault-message 0x10000",
         "line 2: test-fault-message needs a number from 0 to 65535"},
        {"a test flag takes no argument", "scene orbit\ntest-fault-load now",
         "line 2: test-fault-load takes no argument"},
        {"test lines are known", "scene orbit\ntest-explode",
         "line 2: unknown keyword \"test-explode\""},
        {"a reference names a defined channel", "scene orbit\nchannel a\ntext {b}",
         "line 3: text shows {b}, which no channel or plugin line defines"},
    };
    for (const Case& c : cases) {
        ParseResult parsed = ParseProject(c.text);
        EXPECT_FALSE(parsed.ok) << c.rule;
        EXPECT_EQ(c.error, parsed.error) << c.rule;
    }
    EXPECT_EQ("project file larger than 64 KiB",
              ParseProject("scene orbit\n" + std::string(maxProjectFileSize, '#')).error);
}

TEST(ProjectFile, GuidTextIsCheckedAndUpperCased)
{
    struct Case {
        const char* rule;
        const char* text;
        const char* normal;
    } cases[] = {
        {"upper case stays", "3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26",
         "3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26"},
        {"lower case is raised", "9c2d4e81-5f36-4a7b-8e19-d0b3f6a2c457",
         "9C2D4E81-5F36-4A7B-8E19-D0B3F6A2C457"},
        {"braces are not part of it", "{3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26}", ""},
        {"dashes in their places", "3B1E6C528-A47-4D90-B2F3-5C81A7E04D26", ""},
        {"nothing after it", "3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26.dll", ""},
        {"hex digits only", "3B1E6C52-8A47-4D90-B2F3-5C81A7E04D2G", ""},
        {"path characters refused", "..\\..\\x-8A47-4D90-B2F3-5C81A7E04D26", ""},
        {"empty", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.normal, NormaliseGuidText(c.text)) << c.rule;
}

TEST(ProjectFile, ValuesShowWithAFractionDigit)
{
    struct Case {
        float value;
        const char* text;
    } cases[] = {{1.0f, "1.0"}, {0.0f, "0.0"}, {0.25f, "0.25"}, {-3.0f, "-3.0"}, {1e20f, "1e+20"}};
    for (const Case& c : cases) EXPECT_EQ(c.text, FormatValue(c.value)) << c.value;
}

TEST(ProjectPath, RelativePathsLieInTheInstallDirectory)
{
    struct Case {
        const char* rule;
        const char* directory;
        const char* path;
        const char* resolved;
    } cases[] = {
        {"relative joins with one backslash", "C:\\Saver", "demo.project",
         "C:\\Saver\\demo.project"},
        {"no doubled backslash", "C:\\Saver\\", "sub\\demo.project",
         "C:\\Saver\\sub\\demo.project"},
        {"drive path stands", "C:\\Saver", "D:\\p\\demo.project", "D:\\p\\demo.project"},
        {"drive path with slash stands", "C:\\Saver", "d:/p/demo.project", "d:/p/demo.project"},
        {"rooted path stands", "C:\\Saver", "\\p\\demo.project", "\\p\\demo.project"},
        {"UNC path stands", "C:\\Saver", "\\\\host\\share\\x", "\\\\host\\share\\x"},
        {"drive-relative path is relative", "C:\\Saver", "D:demo.project",
         "C:\\Saver\\D:demo.project"},
        {"no install directory: path as given", "", "demo.project", "demo.project"},
        {"empty path stays empty", "C:\\Saver", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.resolved, ResolveProjectPath(c.directory, c.path)) << c.rule;
}
