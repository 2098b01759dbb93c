// The engine's loader of channel plug-ins: by type GUID, through the search
// path, checked against the library's type record.
#include <gtest/gtest.h>

#include <string>

#include "PluginTestSupport.h"
#include "engine/channels/PluginHost.h"
#include "engine/channels/Zel_Channel.h"

namespace {

constexpr char driveLetterGuid[] = "3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26";

TEST(PluginHost, LoadsTheDriveLetterChannelAndReadsItsText)
{
    ScopedTraceFile trace;
    const char* spellings[] = {driveLetterGuid, "3b1e6c52-8a47-4d90-b2f3-5c81a7e04d26"};
    for (const char* spelling : spellings) {
        Zel_Channel* channel = LoadPluginChannel(spelling);
        ASSERT_NE(nullptr, channel) << spelling;
        EXPECT_STREQ("Win32 GetDriveLetter", channel->GetChannelName()) << spelling;
        const char* text = PluginChannelText(channel);
        ASSERT_NE(nullptr, text) << spelling;
        EXPECT_EQ(DrivesFromDriveStrings(), text) << spelling;
        DestroyPluginChannel(channel);
    }
    // CallChannel and GetString each send one message.
    EXPECT_EQ(4u, trace.LinesOf("ShowDebugMessage").size());
}

TEST(PluginHost, RefusesWhatIsNotAUsablePlugin)
{
    ScopedTraceFile trace;
    // A copy of the plug-in under another type's name, found through PATH as
    // the viewer's channels directory is.
    ScopedTempDir channels;
    const char otherGuid[] = "0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9";
    ASSERT_TRUE(CopyFileA(PluginPath().c_str(),
                          channels.File((std::string(otherGuid) + ".dll").c_str()).c_str(), FALSE));
    char oldPath[8192];
    DWORD oldLength = GetEnvironmentVariableA("PATH", oldPath, sizeof oldPath);
    ASSERT_LT(oldLength, sizeof oldPath);
    SetEnvironmentVariableA("PATH", (channels.Path() + ";" + oldPath).c_str());

    struct Case {
        const char* rule;
        const char* typeText;
        const char* reason;  // what the engine traces
    } cases[] = {
        {"null", nullptr, "not a channel type GUID"},
        {"empty", "", "not a channel type GUID"},
        {"one digit short", "3B1E6C52-8A47-4D90-B2F3-5C81A7E04D2", "not a channel type GUID"},
        {"one character more", "3B1E6C52-8A47-4D90-B2F3-5C81A7E04D260", "not a channel type GUID"},
        {"braces", "{3B1E6C52-8A47-4D90-B2F3-5C81A7E04D2}", "not a channel type GUID"},
        {"dash misplaced", "3B1E6C528-A47-4D90-B2F3-5C81A7E04D26", "not a channel type GUID"},
        {"not hexadecimal", "3B1E6C52-8A47-4D90-B2F3-5C81A7E04DZZ", "not a channel type GUID"},
        {"a path", "..\\..\\windows\\system32\\kernel32", "not a channel type GUID"},
        {"no such library", "11111111-2222-3333-4444-555555555555",
         "library not found or not loadable"},
        {"library without the entry points", "9C2D4E81-5F36-4A7B-8E19-D0B3F6A2C457",
         "GetType or InitDLL missing"},
        {"record names another type", otherGuid, "type record names another type"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nullptr, LoadPluginChannel(c.typeText)) << c.rule;
        std::vector<std::string> lines = trace.LinesOf("LoadPluginChannel");
        ASSERT_FALSE(lines.empty()) << c.rule;
        EXPECT_NE(std::string::npos, lines.back().find(c.reason)) << c.rule << ": " << lines.back();
    }
    SetEnvironmentVariableA("PATH", oldPath);

    EXPECT_EQ(nullptr, PluginChannelText(nullptr));
    DestroyPluginChannel(nullptr);
}

}  // namespace
