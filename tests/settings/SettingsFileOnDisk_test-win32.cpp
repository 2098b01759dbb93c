// Settings files through the real stand-in engine: install directories that
// leave no room for the file name, a file the saver wrote, cut at every byte,
// and files whose chunk sizes lie. Every field the load could not read keeps
// its old value, nothing is written past a field, and a later save writes a
// file that reads back exactly.
#include "SettingsFileSupport.h"

#include <algorithm>
#include <cstring>

namespace {

// The settings as a comparable record (the project path's 260 bytes whole).
struct Snapshot {
    std::vector<uint8_t> projectPath;
    int32_t frameDelay;
    uint8_t doNotQuit, previewEnabled;
    bool operator==(const Snapshot& other) const
    {
        return projectPath == other.projectPath && frameDelay == other.frameDelay &&
               doNotQuit == other.doNotQuit && previewEnabled == other.previewEnabled;
    }
};

Snapshot Take(const ViewerSettings& settings)
{
    return {std::vector<uint8_t>(settings.projectPath, settings.projectPath + 260),
            settings.frameDelay, settings.doNotQuit, settings.previewEnabled};
}

std::string Describe(const Snapshot& s)
{
    return std::string(reinterpret_cast<const char*>(s.projectPath.data()), 12) + "... delay " +
           std::to_string(s.frameDelay) + " quit " + std::to_string(s.doNotQuit) + " preview " +
           std::to_string(s.previewEnabled);
}

// Old values that differ from the saved ones in every byte of every field.
void SetOldValues(ViewerSettings& settings)
{
    std::memset(settings.projectPath, 'o', 259);
    settings.projectPath[259] = 0;
    settings.frameDelay = 0x0A0B0C0D;
    settings.doNotQuit = 0x55;
    settings.previewEnabled = 0x66;
}

void SetSavedValues(ViewerSettings& settings)
{
    std::memset(settings.projectPath, 0, sizeof settings.projectPath);
    lstrcpyA(settings.projectPath, "C:\\Saver\\demo.prj");
    settings.frameDelay = 20;
    settings.doNotQuit = 1;
    settings.previewEnabled = 1;
}

// One field's chunk: its code and its value in both records.
enum Field { path, delay, quit, preview };

// What a load into old values must give when only the fields in `read` were read.
Snapshot Expected(const Snapshot& old, const Snapshot& saved, std::initializer_list<Field> read)
{
    Snapshot expected = old;
    for (Field field : read) {
        if (field == path) expected.projectPath = saved.projectPath;
        if (field == delay) expected.frameDelay = saved.frameDelay;
        if (field == quit) expected.doNotQuit = saved.doNotQuit;
        if (field == preview) expected.previewEnabled = saved.previewEnabled;
    }
    return expected;
}

// A settings object bound to the stand-in engine and a scratch install directory.
class SettingsWorld {
public:
    SettingsWorld() : directory(60), file(directory.File("screensaver.cfg")) {}
    // Loads bytes as the settings file into settings holding the old values.
    Snapshot LoadOver(const std::vector<uint8_t>& bytes)
    {
        EXPECT_TRUE(ondisk::WriteFileBytes(file, bytes));
        FreshSettings fresh;
        Bind(fresh.settings);
        SetOldValues(fresh.settings);
        fresh.settings.Load();
        Snapshot loaded = Take(fresh.settings);
        // What the load left is saved again, and must read back exactly.
        fresh.settings.Save();
        FreshSettings again;
        Bind(again.settings);
        again.settings.Load();
        EXPECT_TRUE(loaded == Take(again.settings))
            << "the save after a damaged load reads back as " << Describe(Take(again.settings));
        return loaded;
    }
    void Bind(ViewerSettings& settings)
    {
        settings.SetInstallDirectory(directory.Path().c_str());
        settings.SetEngineCore(engine.Core());
    }

    ondisk::StandInEngine engine;
    ScratchDirectory directory;
    std::string file;
};

// The saved values and the old ones as records.
Snapshot SavedSnapshot()
{
    FreshSettings fresh;
    SetSavedValues(fresh.settings);
    return Take(fresh.settings);
}
Snapshot OldSnapshot()
{
    FreshSettings fresh;
    SetOldValues(fresh.settings);
    return Take(fresh.settings);
}

// A file the saver itself wrote with the saved values.
std::vector<uint8_t> SaverWrittenFile(SettingsWorld& world)
{
    DeleteFileA(world.file.c_str());
    FreshSettings fresh;
    world.Bind(fresh.settings);
    SetSavedValues(fresh.settings);
    fresh.settings.Save();
    return ondisk::ReadFileBytes(world.file);
}

// A chunk file with chunks of any declared size, as the engine lays them out:
// "OCHK", then per chunk its code, its 32-bit little-endian size and data.
struct RawChunk {
    const char* code;
    uint32_t declaredSize;
    std::vector<uint8_t> data;
};
std::vector<uint8_t> ChunkFile(const std::vector<RawChunk>& chunks)
{
    std::vector<uint8_t> bytes = {'O', 'C', 'H', 'K'};
    for (const RawChunk& chunk : chunks) {
        bytes.insert(bytes.end(), chunk.code, chunk.code + 4);
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(chunk.declaredSize >> (8 * i)));
        bytes.insert(bytes.end(), chunk.data.begin(), chunk.data.end());
    }
    return bytes;
}
RawChunk Honest(const char* code, std::vector<uint8_t> data)
{
    return {code, static_cast<uint32_t>(data.size()), std::move(data)};
}

TEST(SettingsFileOnDisk, ACutFileKeepsWhatItCouldNotRead)
{
    SettingsWorld world;
    ASSERT_NE(nullptr, world.engine.Core());
    std::vector<uint8_t> written = SaverWrittenFile(world);
    const Snapshot saved = SavedSnapshot(), old = OldSnapshot();

    // The saver writes "OCHK" and four chunks of 8 header bytes each: a cut
    // right after a whole chunk is a shorter, sound file whose chunks are
    // read; a cut anywhere else leaves a damaged file, of which the engine
    // trusts nothing.
    const size_t afterPath = 4 + 8 + 259, afterDelay = afterPath + 8 + 4,
                 afterQuit = afterDelay + 8 + 1;
    ASSERT_EQ(afterQuit + 8 + 1, written.size()) << "not the file the saver writes";
    ASSERT_TRUE(Expected(old, saved, {path, delay, quit, preview}) == world.LoadOver(written));

    for (size_t cut = 0; cut < written.size(); ++cut) {
        SCOPED_TRACE("cut at byte " + std::to_string(cut));
        Snapshot expected = old;
        if (cut == afterPath) expected = Expected(old, saved, {path});
        if (cut == afterDelay) expected = Expected(old, saved, {path, delay});
        if (cut == afterQuit) expected = Expected(old, saved, {path, delay, quit});
        std::vector<uint8_t> bytes(written.begin(),
                                   written.begin() + static_cast<std::ptrdiff_t>(cut));
        Snapshot loaded = world.LoadOver(bytes);
        ASSERT_TRUE(expected == loaded) << Describe(loaded);
    }
}

TEST(SettingsFileOnDisk, ChunkSizesThatLieLeaveTheirFieldsAlone)
{
    SettingsWorld world;
    ASSERT_NE(nullptr, world.engine.Core());
    const Snapshot saved = SavedSnapshot(), old = OldSnapshot();

    const RawChunk pathChunk = Honest(
        "SCFP", std::vector<uint8_t>(saved.projectPath.begin(), saved.projectPath.begin() + 259));
    const RawChunk delayChunk = Honest("SCTI", {20, 0, 0, 0});
    const RawChunk quitChunk = Honest("SCQC", {1});
    const RawChunk previewChunk = Honest("SCSP", {1});
    std::vector<uint8_t> longPath(260, 'L');  // no terminator in 260 bytes
    const std::vector<uint8_t> shortPath(18, 'S');
    Snapshot withShortPath = saved;
    withShortPath.projectPath.assign(260, 0);
    std::copy(shortPath.begin(), shortPath.end(), withShortPath.projectPath.begin());
    struct Row {
        const char* rule;
        std::vector<RawChunk> chunks;
        Snapshot expected;
    } rows[] = {
        {"the honest file",
         {pathChunk, delayChunk, quitChunk, previewChunk},
         Expected(old, saved, {path, delay, quit, preview})},
        // A chunk larger than its field would write past it.
        {"a delay of 8 bytes",
         {pathChunk, Honest("SCTI", std::vector<uint8_t>(8, 0x11)), quitChunk, previewChunk},
         Expected(old, saved, {path, quit, preview})},
        {"a project path of 260 bytes",
         {Honest("SCFP", longPath), delayChunk, quitChunk, previewChunk},
         Expected(old, saved, {delay, quit, preview})},
        {"a flag of 2 bytes",
         {pathChunk, delayChunk, Honest("SCQC", {1, 1}), previewChunk},
         Expected(old, saved, {path, delay, preview})},
        // A smaller number or flag would leave the field half old, half new.
        {"a delay of 2 bytes",
         {pathChunk, Honest("SCTI", {20, 0}), quitChunk, previewChunk},
         Expected(old, saved, {path, quit, preview})},
        // A shorter project path replaces the whole path, terminated or not.
        {"a project path of 18 bytes",
         {Honest("SCFP", shortPath), delayChunk, quitChunk, previewChunk},
         Expected(old, withShortPath, {path, delay, quit, preview})},
        {"a flag of 0 bytes",
         {pathChunk, delayChunk, quitChunk, Honest("SCSP", {})},
         Expected(old, saved, {path, delay, quit})},
        // Sizes that run past the end of the file: the file is damaged whole.
        {"a size of 0xFFFFFFFF (-1)",
         {pathChunk, {"SCTI", 0xFFFFFFFFu, {20, 0, 0, 0}}, quitChunk, previewChunk},
         old},
        {"a size of 0x80000000",
         {pathChunk, {"SCTI", 0x80000000u, {20, 0, 0, 0}}, quitChunk, previewChunk},
         old},
        {"the last size one past the end",
         {pathChunk, delayChunk, quitChunk, {"SCSP", 2, {1}}},
         old},
        {"a project path size past the end", {{"SCFP", 300, saved.projectPath}}, old},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        Snapshot loaded = world.LoadOver(ChunkFile(row.chunks));
        EXPECT_TRUE(row.expected == loaded) << Describe(loaded);
        EXPECT_EQ(0, loaded.projectPath[259]);
    }
}

// Files directly in the temporary folder that a settings path cut short
// could have made: names beginning with the scratch directories' prefix.
std::vector<std::string> StrayFiles()
{
    std::string pattern = ScratchDirectory::Prefix() + "*";
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

TEST(SettingsFileOnDisk, IsWrittenWholeOrNotAtAllWhateverTheDirectoryLength)
{
    ondisk::StandInEngine engine;
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
        ScratchDirectory directory(row.length);
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

}  // namespace
