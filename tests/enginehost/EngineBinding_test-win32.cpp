// Engine binding in-process: the install directory from the real registry of
// the Wine prefix (hostile values included), the process PATH up to the
// environment's limit, loading engine libraries from scratch directories of
// every length, and the BindEngine paths that need no packed executable.
#include "enginehost/EngineBinding.h"

#include "enginehost/EngineHost.h"
#include "tests/support/ScratchDirectory.h"
#include "tests/support/TestProcess.h"
#include "RecordingEngine.h"
#include "MessageBoxWatcher.h"

#include <gtest/gtest.h>

#include "JoinedLines.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char viewersKey[] = "SOFTWARE\\Velcor\\Ormelix Viewers\\3.00.000";

// Bytes of text, with or without its terminator.
std::vector<uint8_t> Text(const std::string& text, bool withTerminator = true)
{
    std::vector<uint8_t> bytes(text.begin(), text.end());
    if (withTerminator) bytes.push_back(0);
    return bytes;
}

// A project key under HKLM whose "DisplayName", when given, holds exactly the
// given bytes; removed again.
class ScopedProjectKey {
public:
    ScopedProjectKey(const std::string& project, DWORD type, const std::vector<uint8_t>& data,
                     bool withValue)
        : path_(std::string(viewersKey) + "\\" + project)
    {
        HKEY key;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
        if (withValue) {
            EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "DisplayName", 0, type, data.data(),
                                                    static_cast<DWORD>(data.size())));
        }
        RegCloseKey(key);
    }
    ~ScopedProjectKey() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, path_.c_str()); }

private:
    std::string path_;
};

// Puts a copy of one of the built engines into directory as drovik.dll. A
// library that was loaded stays behind with it (libraries are never
// unloaded); the scratch prefix goes with the run.
void PutEngine(ScratchDirectory& directory, const std::string& engineFile)
{
    std::string source = ProgramDirectory() + "\\" + engineFile;
    EXPECT_TRUE(CopyFileA(source.c_str(), directory.File("drovik.dll").c_str(), FALSE))
        << "copy " << source;
}

}  // namespace

// Only a whole REG_SZ full path that fits is the install directory: other
// types, values too long for the buffers, empty or cut texts are refused, and
// a refused lookup leaves the buffer as it was.
TEST(FindInstallDir, AcceptsOnlyAWholeStringThatFits)
{
    std::string project = "binding-test-" + std::to_string(GetCurrentProcessId());
    // A key whose path "<base key>\<name>" fills 259 characters (as long as
    // Wine's ANSI registry calls take), and a name of 300 characters that
    // begins with it: cut to a 260-byte path, the long name would find that key.
    std::string cutName =
        project + std::string(259 - (sizeof viewersKey - 1) - 1 - project.size(), 'n');
    std::string tooLongName = cutName + std::string(300 - cutName.size(), 'n');
    const std::string saver = "C:\\Saver";
    auto longText = [](size_t bytes) { return Text("C:\\" + std::string(bytes - 4, 'd')); };
    struct Row {
        const char* rule;
        std::string keyName;  // the key created; empty: none
        std::string lookedUp;
        bool withValue;
        DWORD type;
        std::vector<uint8_t> data;
        std::string found;  // the directory found; empty: refused
    } rows[] = {
        {"a string value is the install directory", project, project, true, REG_SZ, Text(saver),
         saver},
        {"258 characters with the terminator fill 259 bytes", project, project, true, REG_SZ,
         Text("C:\\" + std::string(255, 'd')), "C:\\" + std::string(255, 'd')},
        {"260 bytes with the terminator are refused", project, project, true, REG_SZ,
         Text("C:\\" + std::string(256, 'd')), ""},
        // Cut to fit 259 bytes, it would name another directory.
        {"259 characters stored without a terminator", project, project, true, REG_SZ,
         Text("C:\\" + std::string(256, 'd'), false), ""},
        // Lengths around the query's 1200-byte buffer: all far too long.
        {"1,199 bytes", project, project, true, REG_SZ, longText(1199), ""},
        {"1,200 bytes fill the query buffer", project, project, true, REG_SZ, longText(1200), ""},
        {"1,300 bytes do not fit the query buffer", project, project, true, REG_SZ, longText(1300),
         ""},
        {"2,000 bytes", project, project, true, REG_SZ, Text(std::string(2000, 'd')), ""},
        // Only REG_SZ names a directory.
        {"REG_EXPAND_SZ", project, project, true, REG_EXPAND_SZ, Text(saver), ""},
        {"REG_MULTI_SZ", project, project, true, REG_MULTI_SZ, Text(saver + '\0'), ""},
        {"REG_BINARY", project, project, true, REG_BINARY, Text(saver), ""},
        {"REG_DWORD", project, project, true, REG_DWORD, {0x43, 0x3A, 0x5C, 0x00}, ""},
        {"REG_NONE", project, project, true, REG_NONE, Text(saver), ""},
        // A string stored without its terminator is the same text, read
        // whole and terminated.
        {"a REG_SZ stored without its terminator", project, project, true, REG_SZ,
         Text(saver, false), saver},
        // An empty directory would name the current drive's root.
        {"an empty REG_SZ of no bytes", project, project, true, REG_SZ, {}, ""},
        {"an empty REG_SZ of its terminator alone", project, project, true, REG_SZ, {0}, ""},
        {"a missing key is refused", "", project, false, REG_SZ, {}, ""},
        {"a key without the value is refused", project, project, false, REG_SZ, {}, ""},
        {"a project name too long for the key path is refused, never cut", cutName, tooLongName,
         true, REG_SZ, Text("C:\\Long"), ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        std::unique_ptr<ScopedProjectKey> key;
        if (!row.keyName.empty())
            key.reset(new ScopedProjectKey(row.keyName, row.type, row.data, row.withValue));
        std::vector<char> out(261, '#');  // 259 bytes given, two guard bytes
        bool found = FindInstallDir(row.lookedUp.c_str(), out.data(), 259);
        EXPECT_EQ(!row.found.empty(), found);
        if (found)
            EXPECT_EQ(row.found, std::string(out.data()));
        else
            EXPECT_EQ('#', out[0]) << "a failed lookup leaves the buffer as it was";
        EXPECT_EQ('#', out[259]) << "nothing is written past the 259 bytes given";
        EXPECT_EQ('#', out[260]);
    }
}

// PATH gains the engine's entries whole, in front of the whole old PATH, or
// stays exactly as it was, up to the longest value the environment allows
// (32,766 characters and the terminator).
TEST(PrependEnginePaths, PutsTheEngineDirectoriesFirstOnceOrLeavesPathAlone)
{
    const std::string entries = "D:\\P\\channels;D:\\P\\3rd;";  // 23 characters
    const size_t longestValue = 32766;
    auto oldPath = [](size_t length) { return "C:\\" + std::string(length - 3, 'p'); };
    std::string longPath = oldPath(5000);
    std::string mentionedFarAway = longPath + ";D:\\P";
    std::string fits = oldPath(longestValue - entries.size());
    std::string oneTooMany = oldPath(longestValue - entries.size() + 1);
    std::string longest = oldPath(longestValue);
    std::string longestMentioning = oldPath(longestValue - 5) + ";D:\\P";
    std::string longDirectory = "C:\\" + std::string(256, 'l');  // 259 characters
    std::string tooLongDirectory = longDirectory + "x";          // 260 characters
    struct Row {
        const char* rule;
        const char* oldPath;  // null: PATH unset
        std::string directory;
        std::string expected;
    } rows[] = {
        {"the two entries go first", "C:\\A", "D:\\P", entries + "C:\\A"},
        {"a directory already on PATH leaves it alone", "C:\\A;D:\\P;C:\\B", "D:\\P",
         "C:\\A;D:\\P;C:\\B"},
        {"even inside a longer entry", "C:\\A;D:\\P\\old", "D:\\P", "C:\\A;D:\\P\\old"},
        {"the test is case-sensitive", "d:\\p", "D:\\P", entries + "d:\\p"},
        {"a missing PATH becomes the two entries", nullptr, "D:\\P", "D:\\P\\channels;D:\\P\\3rd"},
        {"an empty PATH becomes the two entries", "", "D:\\P", "D:\\P\\channels;D:\\P\\3rd"},
        {"a PATH of 5000 characters survives whole", longPath.c_str(), "D:\\P", entries + longPath},
        {"a mention past the 1299th character still counts", mentionedFarAway.c_str(), "D:\\P",
         mentionedFarAway},
        // 32,743 + 23 = 32,766 characters: the longest value there is.
        {"the new PATH fills the longest value", fits.c_str(), "D:\\P", entries + fits},
        // 32,767 characters cannot be set: nothing is cut, PATH stays.
        {"one character more leaves PATH as it was", oneTooMany.c_str(), "D:\\P", oneTooMany},
        {"the longest PATH stays as it was", longest.c_str(), "D:\\P", longest},
        {"the longest PATH that mentions the directory stays untouched", longestMentioning.c_str(),
         "D:\\P", longestMentioning},
        {"a directory of 259 characters goes on PATH whole", "C:\\A", longDirectory,
         longDirectory + "\\channels;" + longDirectory + "\\3rd;C:\\A"},
        // Cut to 259 characters it would name another directory.
        {"a directory of 260 characters is not cut onto PATH", "C:\\A", tooLongDirectory, "C:\\A"},
    };
    SavedPath saved;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        SetEnvironmentVariableA("PATH", row.oldPath);
        if (row.oldPath != nullptr && row.oldPath[0] != '\0') {
            ASSERT_EQ(strlen(row.oldPath), ReadPath().size())
                << "the environment took the old PATH whole";
        }
        PrependEnginePaths(row.directory.c_str());
        std::string now = ReadPath();
        EXPECT_EQ(row.expected.size(), now.size());
        EXPECT_TRUE(row.expected == now) << "PATH begins " << now.substr(0, 40);
    }
}

TEST(LoadEngineLibrary, YieldsAnEngineOnlyFromACompleteLibrary)
{
    ScratchDirectory empty, nullEngine, noEntry, longestFits(248), oneTooLong(249);
    PutEngine(nullEngine, "fake_engine.dll");
    PutEngine(noEntry, "fake_engine_no_entry.dll");
    ASSERT_TRUE(longestFits.Created() && oneTooLong.Created());
    PutEngine(longestFits, "drovik.dll");
    PutEngine(oneTooLong, "drovik.dll");
    std::string tooLong = empty.Path() + "\\" + std::string(250, 'l');
    std::string programDirectory = ProgramDirectory();
    struct Row {
        const char* rule;
        const char* directory;
        const char* fakeMode;
        bool yieldsEngine;
    } rows[] = {
        {"no directory", nullptr, "", false},
        {"an empty directory never names the drive root", "", "", false},
        {"a directory without the library", empty.Path().c_str(), "", false},
        {"a directory too long for the library's file name", tooLong.c_str(), "", false},
        {"a library without the entry point", noEntry.Path().c_str(), "", false},
        {"an entry point that returns no engine", nullEngine.Path().c_str(), "null", false},
        {"the stand-in engine beside the tests", programDirectory.c_str(), "", true},
        // 248 + "\drovik.dll" = 259 characters: the longest library path.
        {"248 characters: the library path just fits", longestFits.Path().c_str(), "", true},
        // Wine would open this 260-character path; the viewer never asks.
        {"249 characters: one too many, even with the library there", oneTooLong.Path().c_str(), "",
         false},
    };
    SavedPath saved;
    for (const Row& row : rows) {
        SetEnvironmentVariableA("ORMELIX_FAKE_ENGINE", row.fakeMode);
        EngineControl* engine = LoadEngineLibrary(row.directory);
        EXPECT_EQ(row.yieldsEngine, engine != nullptr) << row.rule;
        if (engine != nullptr) engine->Destroy(1);
    }
    SetEnvironmentVariableA("ORMELIX_FAKE_ENGINE", nullptr);
    // Its copy too long to name is never loaded (the other copy stays loaded).
    EXPECT_EQ(nullptr, GetModuleHandleA((oneTooLong.Path() + "\\drovik.dll").c_str()));
}

TEST(LoadEngineLibrary, LoadsByItsFullPathWhenPathIsFull)
{
    SavedPath saved;
    std::string longest = "C:\\" + std::string(32766 - 3, 'p');
    ASSERT_TRUE(SetEnvironmentVariableA("PATH", longest.c_str()));
    EngineControl* engine = LoadEngineLibrary(ProgramDirectory().c_str());
    EXPECT_NE(nullptr, engine);
    if (engine != nullptr) engine->Destroy(1);
    EXPECT_TRUE(longest == ReadPath()) << "PATH was changed";
}

TEST(BindEngine, WithoutAProjectNameShowsItsBoxBindsNothingAndReadsTheBlockOnce)
{
    // This test program carries no appended block.
    ASSERT_EQ(nullptr, engineHost.engineControl);
    MessageBoxWatcher watcher;
    BindEngine(nullptr);
    std::vector<SeenBox> boxes = watcher.Boxes();

    EXPECT_EQ(nullptr, engineHost.engineControl);
    ASSERT_FALSE(boxes.empty());
    const SeenBox& last = boxes.back();
    EXPECT_EQ("Error while retrieving the project name", last.caption);
    EXPECT_FALSE(last.text.empty());
    EXPECT_EQ(std::string::npos, last.text.find_first_not_of("0123456789")) << last.text;
    EXPECT_EQ(nullptr, last.owner);

    // The block is read once per process: binding again shows the project-name
    // box alone, none of the reader's own boxes.
    BindEngine(nullptr);
    std::vector<SeenBox> afterSecond = watcher.Boxes();
    ASSERT_EQ(boxes.size() + 1, afterSecond.size());
    EXPECT_EQ(last.caption + "|" + last.text,
              afterSecond.back().caption + "|" + afterSecond.back().text);
}

TEST(BindEngine, WithAnEngineBoundOnlyLoadsTheSettingsAgain)
{
    CallLog log;
    RecordingEngine engine(log);
    engine.file = {{"SCTI", {42, 0, 0, 0}}};
    engineHost.viewerSettings.SetInstallDirectory("C:\\Bound");
    engineHost.engineControl = &engine;

    MessageBoxWatcher watcher;
    BindEngine(nullptr);
    EXPECT_TRUE(watcher.Boxes().empty());
    engineHost.engineControl = nullptr;

    std::vector<std::string> expected = {"GetCore",
                                         "CreateObject loader 0 0",
                                         "loader Open C:\\Bound\\screensaver.cfg",
                                         "loader FindChunk SCFP",
                                         "loader FindChunk SCTI",
                                         "loader ReadChunk SCTI",
                                         "loader FindChunk SCQC",
                                         "loader FindChunk SCSP",
                                         "loader Destroy 1"};
    EXPECT_EQ(Joined(expected), Joined(log.Lines()));
    EXPECT_EQ(42, engineHost.viewerSettings.FrameDelay());
    EXPECT_EQ(static_cast<EngineCore*>(&engine), engineHost.viewerSettings.engineCore);
    engineHost.viewerSettings.SetEngineCore(nullptr);  // the core lives no longer than this test
}
