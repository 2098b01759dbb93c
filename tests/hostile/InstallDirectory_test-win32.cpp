// What the registry and the file system can hand the binding: "DisplayName"
// values of hostile lengths and types, and install directories whose paths
// leave no room for the settings file or the engine library's file name.
#include "HostileSupport.h"

#include <memory>

namespace {

const char viewersKey[] = "SOFTWARE\\Velcor\\Ormelix Viewers\\3.00.000";

std::vector<uint8_t> Text(const std::string& text, bool withTerminator)
{
    std::vector<uint8_t> bytes(text.begin(), text.end());
    if (withTerminator)
        bytes.push_back(0);
    return bytes;
}

// A project key whose "DisplayName" holds exactly the given bytes; removed again.
class RawDisplayName {
public:
    RawDisplayName(const std::string& project, DWORD type, const std::vector<uint8_t>& data)
        : path_(std::string(viewersKey) + "\\" + project)
    {
        HKEY key;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "DisplayName", 0, type, data.data(),
                                                static_cast<DWORD>(data.size())));
        RegCloseKey(key);
    }
    ~RawDisplayName() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, path_.c_str()); }

private:
    std::string path_;
};

struct Row {
    const char* rule;
    DWORD type;
    std::vector<uint8_t> data;
    bool found;
};

// Stores each row's value and looks it up into a 259-byte buffer with two
// guard bytes after it.
template <size_t count>
void ExpectLookups(const std::string& project, const std::string& directory, const Row (&rows)[count])
{
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        RawDisplayName value(project, row.type, row.data);
        std::vector<char> out(261, '#');
        bool found = FindInstallDir(project.c_str(), out.data(), 259);
        EXPECT_EQ(row.found, found);
        if (found)
            EXPECT_EQ(directory, std::string(out.data()));
        else
            EXPECT_EQ('#', out[0]) << "a refused value leaves the buffer as it was";
        EXPECT_EQ('#', out[259]) << "nothing is written past the 259 bytes given";
        EXPECT_EQ('#', out[260]);
    }
}

TEST(HostileDisplayName, OnlyAWholeStringThatFitsIsTheInstallDirectory)
{
    const std::string project = "hostile-" + std::to_string(GetCurrentProcessId());
    const std::string saver = "C:\\Saver";
    auto longText = [](size_t bytes) { return Text("C:\\" + std::string(bytes - 4, 'd'), true); };
    Row rows[] = {
        // Lengths around the query's 1200-byte buffer: all far too long.
        {"1,199 bytes", REG_SZ, longText(1199), false},
        {"1,200 bytes fill the query buffer", REG_SZ, longText(1200), false},
        {"1,300 bytes do not fit the query buffer", REG_SZ, longText(1300), false},
        // Only REG_SZ names a directory.
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, Text(saver, true), false},
        {"REG_MULTI_SZ", REG_MULTI_SZ, Text(saver + '\0', true), false},
        {"REG_BINARY", REG_BINARY, Text(saver, true), false},
        {"REG_DWORD", REG_DWORD, {0x43, 0x3A, 0x5C, 0x00}, false},
        {"REG_NONE", REG_NONE, Text(saver, true), false},
        // A string stored without its terminator is the same text, read
        // whole and terminated.
        {"a REG_SZ stored without its terminator", REG_SZ, Text(saver, false), true},
    };
    ExpectLookups(project, saver, rows);
}

TEST(HostileDisplayName, EmptyOrCutDirectoriesAreNeverUsed)
{
    const std::string project = "hostile-" + std::to_string(GetCurrentProcessId());
    Row rows[] = {
        // An empty directory would name the current drive's root.
        {"an empty REG_SZ of no bytes", REG_SZ, {}, false},
        {"an empty REG_SZ of its terminator alone", REG_SZ, {0}, false},
        // Cut to fit 259 bytes, it would name another directory.
        {"259 characters stored without a terminator", REG_SZ,
         Text("C:\\" + std::string(256, 'd'), false), false},
    };
    ExpectLookups(project, "", rows);
}

// Files directly in the temporary folder that a settings path cut short
// could have made: names beginning with the scratch directories' prefix.
std::vector<std::string> StrayFiles()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string pattern = std::string(temp) + "hostile" + std::to_string(GetCurrentProcessId()) + "_*";
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

TEST(HostileInstallDirectory, TheSettingsFileIsWrittenWholeOrNotAtAll)
{
    hostile::StandInEngine engine;
    ASSERT_NE(nullptr, engine.Core());
    struct Row {
        const char* rule;
        size_t length;
        bool roundTrips;
    } rows[] = {
        // 243 + "\screensaver.cfg" = 259 characters: the longest settings path.
        {"243 characters still hold the settings file", 243, true},
        {"244 characters leave no room for the file name", 244, false},
        {"259 characters, the longest directory stored", 259, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        hostile::ScratchDirectory directory(row.length);
        ASSERT_TRUE(directory.Created()) << directory.Path();
        std::string settingsFile = directory.File("screensaver.cfg");

        FreshSettings saving;
        saving.settings.SetInstallDirectory(directory.Path().c_str());
        saving.settings.SetEngineCore(engine.Core());
        lstrcpyA(saving.settings.projectPath, "C:\\Saver\\demo.prj");
        saving.settings.frameDelay = 25;
        saving.settings.doNotQuit = 1;
        saving.settings.previewEnabled = 1;
        saving.settings.Save();
        EXPECT_EQ(directory.Path(), std::string(saving.settings.installDirectory));

        FreshSettings loading;
        loading.settings.SetInstallDirectory(directory.Path().c_str());
        loading.settings.SetEngineCore(engine.Core());
        loading.settings.frameDelay = 77;
        loading.settings.Load();

        std::vector<std::string> listing = directory.Listing();
        EXPECT_TRUE(StrayFiles().empty()) << "a file was written beside the directory";
        if (row.roundTrips) {
            EXPECT_EQ(std::vector<std::string>{"screensaver.cfg"}, listing);
            EXPECT_STREQ("C:\\Saver\\demo.prj", loading.settings.ProjectPath());
            EXPECT_EQ(25, loading.settings.FrameDelay());
            EXPECT_TRUE(loading.settings.DoNotQuit());
            EXPECT_TRUE(loading.settings.PreviewEnabled());
        } else {
            EXPECT_TRUE(listing.empty()) << "first file: " << listing.front();
            EXPECT_STREQ("", loading.settings.ProjectPath());
            EXPECT_EQ(77, loading.settings.FrameDelay());
            EXPECT_FALSE(loading.settings.DoNotQuit());
        }
        EXPECT_EQ(0, loading.settings.installDirectory[259]);
        EXPECT_EQ(0, loading.settings.projectPath[259]);
    }
}

TEST(HostileInstallDirectory, TheEngineLoadsOnlyFromAWholeLibraryPath)
{
    struct Row {
        const char* rule;
        size_t length;
        bool loads;
    } rows[] = {
        // 248 + "\drovik.dll" = 259 characters: the longest library path.
        {"248 characters: the library path just fits", 248, true},
        // Wine would open this 260-character path; the viewer never asks.
        {"249 characters: one too many, even with the library there", 249, false},
    };
    SavedPath saved;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        hostile::ScratchDirectory directory(row.length);
        ASSERT_TRUE(directory.Created()) << directory.Path();
        std::string library = directory.File("drovik.dll");
        ASSERT_TRUE(CopyFileA((ProgramDirectory() + "\\drovik.dll").c_str(), library.c_str(),
                              FALSE));
        EngineControl* engine = LoadEngineLibrary(directory.Path().c_str());
        EXPECT_EQ(row.loads, engine != nullptr);
        HMODULE loaded = GetModuleHandleA(library.c_str());
        EXPECT_EQ(row.loads, loaded != nullptr);
        if (engine != nullptr)
            engine->Destroy(1);
        // The viewer keeps its engine loaded; let go of this copy so that its
        // file and scratch directory can be removed.
        if (loaded != nullptr)
            FreeLibrary(loaded);
    }
}

}  // namespace
