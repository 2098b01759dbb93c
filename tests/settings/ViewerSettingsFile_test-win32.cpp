// The settings file through the engine's chunk-file objects: which calls
// Load and Save make and in what order, what reaches each field, and which
// failures show a box.
#include "settings/ViewerSettings.h"
#include "tests/settings/FreshSettings.h"

#include "RecordingEngine.h"
#include "MessageBoxWatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "JoinedLines.h"

namespace {

const char installDir[] = "C:\\Saver";
const char settingsFile[] = "C:\\Saver\\screensaver.cfg";

std::vector<uint8_t> Bytes(const std::string& text, size_t size)
{
    std::vector<uint8_t> bytes(size, 0);
    std::memcpy(bytes.data(), text.data(), std::min(text.size(), size));
    return bytes;
}

std::vector<uint8_t> Int32(int32_t value)
{
    std::vector<uint8_t> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
}

Chunks FullFile()
{
    return {{"SCFP", Bytes("C:\\Saver\\demo.prj", 259)},
            {"SCTI", Int32(20)},
            {"SCQC", {1}},
            {"SCSP", {1}}};
}

}  // namespace

TEST(ViewerSettingsLoad, ReadsTheFourChunksInOrderThenDestroysTheLoader)
{
    CallLog log;
    RecordingEngine engine(log);
    engine.file = FullFile();
    FreshSettings fresh;
    fresh.settings.SetInstallDirectory(installDir);
    fresh.settings.SetEngineCore(&engine);
    fresh.settings.Load();

    std::vector<std::string> expected = {
        "CreateObject loader 0 0", std::string("loader Open ") + settingsFile,
        "loader FindChunk SCFP",   "loader ReadChunk SCFP",
        "loader FindChunk SCTI",   "loader ReadChunk SCTI",
        "loader FindChunk SCQC",   "loader ReadChunk SCQC",
        "loader FindChunk SCSP",   "loader ReadChunk SCSP",
        "loader Destroy 1"};
    EXPECT_EQ(Joined(expected), Joined(log.Lines()));
}

TEST(ViewerSettingsLoad, FieldsAndBoxesPerFileState)
{
    Chunks withoutDelay = FullFile();
    withoutDelay.erase("SCTI");
    Chunks oversized = FullFile();
    oversized["SCFP"] = Bytes("C:\\Other\\big.prj", 260);
    oversized["SCTI"] = std::vector<uint8_t>(8, 0x11);
    oversized["SCQC"] = {1, 1};
    Chunks flagTwo = FullFile();
    flagTwo["SCQC"] = {2};
    std::string tooLong = "C:\\" + std::string(241, 'x');  // 244 characters

    struct Row {
        const char* rule;
        const char* installDirectory;
        bool hasCore;
        bool makesLoader;
        bool opens;
        Chunks file;
        // Expected afterwards (every row starts from project "old.prj",
        // delay 77 and both flags off).
        const char* projectPath;
        int32_t frameDelay;
        bool doNotQuit;
        bool previewEnabled;
        bool fileLoaderBox;
    } rows[] = {
        {"a full file sets all four fields", installDir, true, true, true, FullFile(),
         "C:\\Saver\\demo.prj", 20, true, true, false},
        {"a missing file changes nothing and shows nothing",
         installDir,
         true,
         true,
         false,
         {},
         "old.prj",
         77,
         false,
         false,
         false},
        {"a missing SCTI keeps the delay, the others are read", installDir, true, true, true,
         withoutDelay, "C:\\Saver\\demo.prj", 77, true, true, false},
        {"a chunk larger than its field leaves the field alone", installDir, true, true, true,
         oversized, "old.prj", 77, false, true, false},
        {"any non-zero flag byte is on", installDir, true, true, true, flagTwo,
         "C:\\Saver\\demo.prj", 20, true, true, false},
        {"a loader that cannot be made shows its box", installDir, true, false, true, FullFile(),
         "old.prj", 77, false, false, true},
        {"no engine core is a loader that cannot be made", installDir, false, true, true,
         FullFile(), "old.prj", 77, false, false, true},
        {"no install directory reads nothing from the drive root", "", true, true, true, FullFile(),
         "old.prj", 77, false, false, false},
        {"a directory without room for the file name reads nothing", tooLong.c_str(), true, true,
         true, FullFile(), "old.prj", 77, false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        CallLog log;
        RecordingEngine engine(log);
        engine.file = row.file;
        engine.fileOpens = row.opens;
        engine.makesLoader = row.makesLoader;
        FreshSettings fresh;
        ViewerSettings& settings = fresh.settings;
        lstrcpyA(settings.projectPath, "old.prj");
        settings.frameDelay = 77;
        settings.SetInstallDirectory(row.installDirectory);
        settings.SetEngineCore(row.hasCore ? &engine : nullptr);

        MessageBoxWatcher watcher;
        settings.Load();
        std::vector<SeenBox> boxes = watcher.Boxes();

        EXPECT_STREQ(row.projectPath, settings.ProjectPath());
        EXPECT_EQ(row.frameDelay, settings.FrameDelay());
        EXPECT_EQ(row.doNotQuit, settings.DoNotQuit());
        EXPECT_EQ(row.previewEnabled, settings.PreviewEnabled());
        EXPECT_EQ(0, settings.projectPath[259]);
        if (row.fileLoaderBox) {
            ASSERT_EQ(1u, boxes.size());
            EXPECT_EQ("P", boxes[0].caption);
            EXPECT_EQ("Can't init fileloader", boxes[0].text);
            EXPECT_EQ(nullptr, boxes[0].owner);
        } else {
            EXPECT_TRUE(boxes.empty())
                << boxes.size() << " box(es), first: " << (boxes.empty() ? "" : boxes[0].caption);
        }
        // A loader that was made is always destroyed, exactly once.
        std::vector<std::string> lines = log.Lines();
        auto requested = std::count(lines.begin(), lines.end(), "CreateObject loader 0 0");
        EXPECT_EQ(requested && row.makesLoader ? 1 : 0,
                  std::count(lines.begin(), lines.end(), "loader Destroy 1"));
    }
}

TEST(ViewerSettingsSave, WritesFourChunksWithTheirSizesThenFinishes)
{
    CallLog log;
    RecordingEngine engine(log);
    FreshSettings fresh;
    fresh.settings.SetInstallDirectory(installDir);
    fresh.settings.SetEngineCore(&engine);
    fresh.settings.Save();

    std::vector<std::string> expected = {"CreateObject saver 0 0",
                                         std::string("saver Open ") + settingsFile + " 0",
                                         "saver BeginChunk SCFP",
                                         "saver SetChunkSize 259",
                                         "saver WriteData 259",
                                         "saver BeginChunk SCTI",
                                         "saver SetChunkSize 4",
                                         "saver WriteData 4",
                                         "saver BeginChunk SCQC",
                                         "saver SetChunkSize 1",
                                         "saver WriteData 1",
                                         "saver BeginChunk SCSP",
                                         "saver SetChunkSize 1",
                                         "saver WriteData 1",
                                         "saver Finish"};
    EXPECT_EQ(Joined(expected), Joined(log.Lines()));
}

TEST(ViewerSettingsSave, FailuresWriteNothingAndOnlyAFileThatCannotBeWrittenIsShown)
{
    std::string tooLong = "C:\\" + std::string(241, 'x');  // 244 characters
    struct Row {
        const char* rule;
        std::string installDirectory;
        bool hasCore;
        bool makesSaver;
        bool opens;
        std::vector<std::string> expectedLog;
        bool notSavedBox;
    } rows[] = {
        {"a saver that cannot be made writes nothing",
         installDir,
         true,
         false,
         true,
         {"CreateObject saver 0 0"},
         false},
        {"a saver that cannot open begins no chunk, still finishes once and says so",
         installDir,
         true,
         true,
         false,
         {"CreateObject saver 0 0", std::string("saver Open ") + settingsFile + " 0",
          "saver Finish"},
         true},
        {"without an engine core nothing is asked of anyone",
         installDir,
         false,
         true,
         true,
         {},
         false},
        {"a directory without room for the file name makes no saver",
         tooLong,
         true,
         true,
         true,
         {},
         false},
        {"no install directory makes no saver", "", true, true, true, {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        CallLog log;
        RecordingEngine engine(log);
        engine.fileOpens = row.opens;
        engine.makesSaver = row.makesSaver;
        FreshSettings fresh;
        fresh.settings.SetInstallDirectory(row.installDirectory.c_str());
        fresh.settings.SetEngineCore(row.hasCore ? &engine : nullptr);

        MessageBoxWatcher watcher;
        fresh.settings.Save();
        std::vector<SeenBox> boxes = watcher.Boxes();
        ASSERT_EQ(row.notSavedBox ? 1u : 0u, boxes.size());
        if (row.notSavedBox) {
            EXPECT_EQ("Ormelix Screensaver", boxes[0].caption);
            EXPECT_EQ("warning", boxes[0].icon);
            EXPECT_EQ(0u, boxes[0].text.find("The settings were not saved: the file\r\n" +
                                             std::string(settingsFile) + "\r\ncannot be written."))
                << boxes[0].text;
            EXPECT_NE(std::string::npos, boxes[0].text.find("The file is unchanged."));
        }
        EXPECT_EQ(Joined(row.expectedLog), Joined(log.Lines()));
        EXPECT_TRUE(engine.saved.empty());
    }
}

TEST(ViewerSettingsFile, RoundTripRestoresEveryByte)
{
    CallLog log;
    RecordingEngine engine(log);
    FreshSettings original;
    ViewerSettings& out = original.settings;
    // Bytes after the path's terminator travel too: the chunk is the first
    // 259 bytes as they stand.
    for (int i = 0; i < 259; ++i) out.projectPath[i] = static_cast<char>(i * 7 + 1);
    std::memcpy(out.projectPath, "D:\\p.prj", 9);
    out.frameDelay = -123456;
    out.doNotQuit = 1;
    out.previewEnabled = 0;
    out.SetInstallDirectory(installDir);
    out.SetEngineCore(&engine);
    out.Save();

    engine.file = engine.saved;
    FreshSettings reread;
    ViewerSettings& in = reread.settings;
    in.SetInstallDirectory(installDir);
    in.SetEngineCore(&engine);
    in.Load();

    EXPECT_EQ(0, std::memcmp(out.projectPath, in.projectPath, 259));
    EXPECT_EQ(0, in.projectPath[259]);
    EXPECT_EQ(-123456, in.FrameDelay());
    EXPECT_TRUE(in.DoNotQuit());
    EXPECT_FALSE(in.PreviewEnabled());
}

TEST(ViewerSettings, FramesPaceByAtMostTheDialogsLongestDelay)
{
    struct Row {
        int32_t stored;
        int32_t paced;
    } rows[] = {
        {20, 20},
        {100, 100},
        // Beyond the dialog's range: paced at its longest, the field left as read.
        {101, 100},
        {8000, 100},
        {INT32_MAX, 100},
        // No pause at all, as the frame loop treats these.
        {0, 0},
        {-5, -5},
    };
    for (const Row& row : rows) {
        FreshSettings fresh;
        fresh.settings.frameDelay = row.stored;
        EXPECT_EQ(row.paced, fresh.settings.FrameDelay()) << row.stored;
        EXPECT_EQ(row.stored, fresh.settings.frameDelay) << row.stored;
    }
}

TEST(ViewerSettings, InstallDirectoryKeepsAtMost259Characters)
{
    struct Row {
        const char* rule;
        size_t length;
        size_t stored;
    } rows[] = {
        {"259 characters are stored whole", 259, 259},
        {"300 characters are cut to their first 259", 300, 259},
    };
    for (const Row& row : rows) {
        FreshSettings fresh;
        fresh.settings.SetInstallDirectory(std::string(row.length, 'd').c_str());
        EXPECT_EQ(std::string(row.stored, 'd'), fresh.settings.installDirectory) << row.rule;
        EXPECT_EQ(0, fresh.settings.installDirectory[259]) << row.rule;
    }
}
