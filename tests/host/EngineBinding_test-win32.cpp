// Engine binding in-process: the install directory from the real registry of
// the Wine prefix, the process PATH, loading engine libraries from scratch
// directories, and the BindEngine paths that need no packed executable.
#include "host/EngineBinding.h"

#include "settings/ViewerSettings.h"
#include "tests/support/TestProcess.h"
#include "FakeChunkFiles.h"
#include "MessageBoxWatcher.h"

#include <gtest/gtest.h>

#include "JoinedLines.h"

#include <memory>
#include <string>
#include <vector>

namespace {

const char viewersKey[] = "SOFTWARE\\Velcor\\Ormelix Viewers\\3.00.000";

// A project key under HKLM with an optional "DisplayName"; removed again.
class ScopedProjectKey {
public:
    ScopedProjectKey(const std::string& project, DWORD type, const std::string& data, bool withValue)
        : path_(std::string(viewersKey) + "\\" + project)
    {
        HKEY key;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
        if (withValue) {
            // Stored with its terminator, as the reg tool stores a string.
            EXPECT_EQ(ERROR_SUCCESS,
                      RegSetValueExA(key, "DisplayName", 0, type,
                                     reinterpret_cast<const BYTE*>(data.c_str()),
                                     static_cast<DWORD>(data.size() + 1)));
        }
        RegCloseKey(key);
    }
    ~ScopedProjectKey() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, path_.c_str()); }

private:
    std::string path_;
};

// A scratch install directory, holding a copy of one of the built engines as
// drovik.dll when asked. A library that was loaded stays behind with it
// (libraries are never unloaded); the scratch prefix goes with the run.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& engineFile = "")
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int counter;
        path_ = std::string(temp) + "binding" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++counter);
        CreateDirectoryA(path_.c_str(), nullptr);
        if (!engineFile.empty()) {
            std::string source = ProgramDirectory() + "\\" + engineFile;
            EXPECT_TRUE(CopyFileA(source.c_str(), (path_ + "\\drovik.dll").c_str(), FALSE))
                << "copy " << source;
        }
    }
    ~ScratchDirectory()
    {
        DeleteFileA((path_ + "\\drovik.dll").c_str());
        RemoveDirectoryA(path_.c_str());
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Records what the binding asks of a bound engine.
class RecordingControl : public EngineControl {
public:
    RecordingControl(std::vector<std::string>& log, EngineCore* core) : log_(log), core_(core) {}
    void Destroy(int) override { log_.push_back("Destroy"); }
    int32_t Run() override { return 0; }
    bool Initialize(HINSTANCE, const char*, HWND) override
    {
        log_.push_back("Initialize");
        return true;
    }
    void Frame() override {}
    void LoadProject(const char*) override {}
    EngineCore* GetCore() override
    {
        log_.push_back("GetCore");
        return core_;
    }
    void WindowMessage(HWND, UINT, WPARAM, LPARAM) override {}
    void SetInstallDir(const char*) override { log_.push_back("SetInstallDir"); }
    void SetRegistryKey(const char*) override { log_.push_back("SetRegistryKey"); }

private:
    std::vector<std::string>& log_;
    EngineCore* core_;
};

}  // namespace

TEST(FindInstallDir, AcceptsOnlyAShortEnoughStringValue)
{
    std::string project = "binding-test-" + std::to_string(GetCurrentProcessId());
    // A key whose path "<base key>\<name>" fills 259 characters (as long as
    // Wine's ANSI registry calls take), and a name of 300 characters that
    // begins with it: cut to a 260-byte path, the long name would find that key.
    std::string cutName =
        project + std::string(259 - (sizeof viewersKey - 1) - 1 - project.size(), 'n');
    std::string tooLongName = cutName + std::string(300 - cutName.size(), 'n');
    struct Row {
        const char* rule;
        std::string keyName;  // the key created; empty: none
        std::string lookedUp;
        bool withValue;
        DWORD type;
        std::string data;
        bool found;
    } rows[] = {
        {"a string value is the install directory", project, project, true, REG_SZ, "C:\\Saver",
         true},
        {"an expandable string is refused", project, project, true, REG_EXPAND_SZ, "C:\\Saver",
         false},
        {"258 characters with the terminator fill 259 bytes", project, project, true, REG_SZ,
         "C:\\" + std::string(255, 'd'), true},
        {"260 bytes with the terminator are refused", project, project, true, REG_SZ,
         "C:\\" + std::string(256, 'd'), false},
        {"a value too long for the query buffer is refused", project, project, true, REG_SZ,
         std::string(2000, 'd'), false},
        {"a missing key is refused", "", project, false, REG_SZ, "", false},
        {"a key without the value is refused", project, project, false, REG_SZ, "", false},
        {"a project name too long for the key path is refused, never cut", cutName,
         tooLongName, true, REG_SZ, "C:\\Long", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        std::unique_ptr<ScopedProjectKey> key;
        if (!row.keyName.empty())
            key.reset(new ScopedProjectKey(row.keyName, row.type, row.data, row.withValue));
        std::vector<char> out(261, '#');
        out[259] = '\0';
        bool found = FindInstallDir(row.lookedUp.c_str(), out.data(), 259);
        EXPECT_EQ(row.found, found);
        if (row.found)
            EXPECT_EQ(row.data, std::string(out.data()));
        else
            EXPECT_EQ('#', out[0]) << "a failed lookup leaves the buffer as it was";
        EXPECT_EQ('#', out[260]);
    }
}

TEST(PrependEnginePaths, PutsTheEngineDirectoriesFirstOnce)
{
    std::string longPath = "C:\\" + std::string(4997, 'p');  // 5000 characters
    std::string mentionedFarAway = longPath + ";D:\\P";
    struct Row {
        const char* rule;
        const char* oldPath;  // null: PATH unset
        std::string expected;
    } rows[] = {
        {"the two entries go first", "C:\\A", "D:\\P\\channels;D:\\P\\3rd;C:\\A"},
        {"a directory already on PATH leaves it alone", "C:\\A;D:\\P;C:\\B", "C:\\A;D:\\P;C:\\B"},
        {"even inside a longer entry", "C:\\A;D:\\P\\old", "C:\\A;D:\\P\\old"},
        {"the test is case-sensitive", "d:\\p", "D:\\P\\channels;D:\\P\\3rd;d:\\p"},
        {"a missing PATH becomes the two entries", nullptr, "D:\\P\\channels;D:\\P\\3rd"},
        {"an empty PATH becomes the two entries", "", "D:\\P\\channels;D:\\P\\3rd"},
        {"a PATH of 5000 characters survives whole", longPath.c_str(),
         "D:\\P\\channels;D:\\P\\3rd;" + longPath},
        {"a mention past the 1299th character still counts", mentionedFarAway.c_str(),
         mentionedFarAway},
    };
    SavedPath saved;
    for (const Row& row : rows) {
        SetEnvironmentVariableA("PATH", row.oldPath);
        PrependEnginePaths("D:\\P");
        EXPECT_EQ(row.expected, ReadPath()) << row.rule;
    }
}

TEST(LoadEngineLibrary, YieldsAnEngineOnlyFromACompleteLibrary)
{
    ScratchDirectory empty;
    ScratchDirectory nullEngine("fake_engine.dll");
    ScratchDirectory noEntry("fake_engine_no_entry.dll");
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
    };
    SavedPath saved;
    for (const Row& row : rows) {
        SetEnvironmentVariableA("ORMELIX_FAKE_ENGINE", row.fakeMode);
        EngineControl* engine = LoadEngineLibrary(row.directory);
        EXPECT_EQ(row.yieldsEngine, engine != nullptr) << row.rule;
        if (engine != nullptr)
            engine->Destroy(1);
    }
    SetEnvironmentVariableA("ORMELIX_FAKE_ENGINE", nullptr);
}

TEST(BindEngine, WithoutAProjectNameShowsItsBoxBindsNothingAndReadsTheBlockOnce)
{
    // This test program carries no appended block.
    ASSERT_EQ(nullptr, engineControl);
    MessageBoxWatcher watcher;
    BindEngine(nullptr);
    std::vector<SeenBox> boxes = watcher.Boxes();

    EXPECT_EQ(nullptr, engineControl);
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
    std::vector<std::string> log;
    FakeLoader loader(log, {{"SCTI", {42, 0, 0, 0}}}, true);
    FakeCore core(log, &loader, nullptr);
    RecordingControl control(log, &core);
    viewerSettings.SetInstallDirectory("C:\\Bound");
    engineControl = &control;

    MessageBoxWatcher watcher;
    BindEngine(nullptr);
    EXPECT_TRUE(watcher.Boxes().empty());
    engineControl = nullptr;

    std::vector<std::string> expected = {
        "GetCore", "CreateObject loader 0 0", "Open C:\\Bound\\screensaver.cfg",
        "FindChunk SCFP", "FindChunk SCTI", "ReadChunk SCTI", "FindChunk SCQC", "FindChunk SCSP",
        "Destroy 1"};
    EXPECT_EQ(Joined(expected), Joined(log));
    EXPECT_EQ(42, viewerSettings.FrameDelay());
    EXPECT_EQ(&core, viewerSettings.engineCore);
    viewerSettings.SetEngineCore(nullptr);  // the core lives no longer than this test
}
