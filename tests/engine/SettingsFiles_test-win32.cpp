// The engine's settings FileLoader and FileSaver as the viewer's settings
// use them: a round trip of the four chunks, ChunkSize, damaged files that
// give "not found" without touching the destination, and saves that fail
// without harming the file already there.
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>

#include "EngineHarness.h"

namespace {

struct Chunk {
    const char* code;
    std::string data;
};

const std::vector<Chunk> viewerChunks = {
    {"SCFP",
     [] {
         std::string path(259, '\0');
         memcpy(&path[0], "C:\\Saver\\demo.project", 21);
         path[258] = 'x';  // the last byte comes back too
         return path;
     }()},
    {"SCTI", std::string("\x14\x00\x00\x80", 4)},
    {"SCQC", std::string(1, '\2')},
    {"SCSP", std::string(1, '\1')},
};

class SettingsFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        control = harness.NewControl();
        ASSERT_TRUE(control);
        core = control->GetCore();
        path = harness.ScratchDirectory() + "\\screensaver.cfg";
    }
    void TearDown() override
    {
        if (control) control->Destroy(1);
    }

    // Saves chunks the way the viewer's Save does; declared sizes may lie.
    bool Save(const std::vector<Chunk>& chunks, const std::string& target, int sizeError = 0)
    {
        auto* saver = static_cast<FileSaver*>(core->CreateObject(settingsSaverType, 0, 0));
        if (!saver) return false;
        bool opened = saver->Open(target.c_str(), 0);
        for (const Chunk& chunk : chunks) {
            saver->BeginChunk(chunk.code);
            saver->SetChunkSize(static_cast<uint32_t>(chunk.data.size() + sizeError));
            saver->WriteData(chunk.data.data(), static_cast<uint32_t>(chunk.data.size()));
        }
        saver->Finish();
        return opened;
    }

    FileLoader* NewLoader()
    {
        return static_cast<FileLoader*>(core->CreateObject(settingsLoaderType, 0, 0));
    }

    EngineHarness harness;
    EngineControl* control = nullptr;
    EngineCore* core = nullptr;
    std::string path;
};

}  // namespace

TEST_F(SettingsFiles, OnlyTheSettingsTypesMakeObjects)
{
    EXPECT_EQ(nullptr, core->CreateObject(saverChannelType, 0, 0));
    GUID nearlyLoader = settingsLoaderType;
    nearlyLoader.Data4[7] ^= 1;
    EXPECT_EQ(nullptr, core->CreateObject(nearlyLoader, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"CreateObject 5A0F3D72-E914-4C6B-9D28-71B4C0E6A3F5 0 0",
                                        "CreateObject C4E82B19-6D53-4A0E-8F71-3B9D2A6C05E9 0 0"}),
              harness.TraceOf({"CreateObject"}));
}

TEST_F(SettingsFiles, ChunksComeBackByteForByte)
{
    ASSERT_TRUE(Save(viewerChunks, path));
    FileLoader* loader = NewLoader();
    ASSERT_TRUE(loader);
    ASSERT_TRUE(loader->Open(path.c_str()));
    // Looked up in another order than written.
    for (const char* code : {"SCSP", "SCTI", "SCFP", "SCQC"}) {
        const Chunk& chunk =
            *std::find_if(viewerChunks.begin(), viewerChunks.end(),
                          [&](const Chunk& c) { return strcmp(c.code, code) == 0; });
        ASSERT_TRUE(loader->FindChunk(code)) << code;
        ASSERT_EQ(chunk.data.size(), loader->ChunkSize()) << code;
        std::string field(chunk.data.size() + 1, '\x55');
        loader->ReadChunk(&field[0]);
        EXPECT_EQ(chunk.data, field.substr(0, chunk.data.size())) << code;
        EXPECT_EQ('\x55', field.back()) << code << ": wrote past the chunk";
    }
    EXPECT_FALSE(loader->FindChunk("SCXX"));
    EXPECT_EQ(0u, loader->ChunkSize());
    loader->Destroy(1);

    EXPECT_EQ((std::vector<std::string>{
                  "BeginChunk SCFP", "SetChunkSize 259", "WriteData 259",   "BeginChunk SCTI",
                  "SetChunkSize 4",  "WriteData 4",      "BeginChunk SCQC", "SetChunkSize 1",
                  "WriteData 1",     "BeginChunk SCSP",  "SetChunkSize 1",  "WriteData 1",
                  "Finish",          "FindChunk SCSP",   "ReadChunk",       "FindChunk SCTI",
                  "ReadChunk",       "FindChunk SCFP",   "ReadChunk",       "FindChunk SCQC",
                  "ReadChunk",       "FindChunk SCXX",   "Destroy 1"}),
              harness.TraceOf({"BeginChunk", "SetChunkSize", "WriteData", "Finish", "FindChunk",
                               "ReadChunk", "Destroy"}));
}

TEST_F(SettingsFiles, DamagedFilesGiveNotFoundAndLeaveTheFieldAlone)
{
    ASSERT_TRUE(Save(viewerChunks, path));
    const std::string good = harness.ReadScratchFile("screensaver.cfg");
    struct Case {
        const char* rule;
        std::string content;  // written as damaged.cfg
        bool exists;
    } cases[] = {
        {"missing file", "", false},
        {"empty file", "", true},
        {"truncated inside the path chunk", good.substr(0, 100), true},
        {"truncated by one byte", good.substr(0, good.size() - 1), true},
        {"wrong magic", "XCHK" + good.substr(4), true},
        {"size field says 2 GiB",
         good.substr(0, 8) + std::string("\0\0\0\x80", 4) + good.substr(12), true},
    };
    for (const Case& c : cases) {
        std::string damaged = harness.ScratchDirectory() + "\\damaged.cfg";
        DeleteFileA(damaged.c_str());
        if (c.exists) harness.WriteScratchFile("damaged.cfg", c.content);
        FileLoader* loader = NewLoader();
        ASSERT_TRUE(loader);
        EXPECT_FALSE(loader->Open(damaged.c_str())) << c.rule;
        int32_t field = 1234;
        for (const char* code : {"SCFP", "SCTI", "SCQC", "SCSP"}) {
            EXPECT_FALSE(loader->FindChunk(code)) << c.rule << " " << code;
            EXPECT_EQ(0u, loader->ChunkSize()) << c.rule;
            loader->ReadChunk(&field);
        }
        EXPECT_EQ(1234, field) << c.rule;
        loader->Destroy(1);
    }
}

TEST_F(SettingsFiles, FailedSavesKeepTheFileThatWasThere)
{
    ASSERT_TRUE(Save(viewerChunks, path));
    const std::string before = harness.ReadScratchFile("screensaver.cfg");
    struct Case {
        const char* rule;
        std::vector<Chunk> chunks;
        int sizeError;
    } cases[] = {
        {"data longer than declared", viewerChunks, -1},
        {"data shorter than declared", viewerChunks, +1},
        {"a code of three letters", {{"SCT", "abcd"}}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Save(c.chunks, path, c.sizeError)) << c.rule;
        EXPECT_EQ(before, harness.ReadScratchFile("screensaver.cfg")) << c.rule;
    }
    EXPECT_EQ(3u, harness.TraceOf({"FileError"}).size());
    // No temporary file is left behind.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesA((path.substr(0, path.size() - 1) + "~").c_str()));

    std::string nowhere = harness.ScratchDirectory() + "\\no such dir\\screensaver.cfg";
    EXPECT_FALSE(Save(viewerChunks, nowhere)) << "Open fails where the file cannot be written";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(nowhere.c_str()));
}
