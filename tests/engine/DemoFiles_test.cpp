// The demo install files: the settings file holds the viewer's four chunks
// in order with a relative project path, and the project it names parses,
// defines the two saver channels, shows them and shows the drive-letter
// channel's text.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "ChunkFile.h"
#include "ProjectFile.h"
#include "ProjectPath.h"

namespace {

std::string ReadDemoFile(const char* name)
{
    std::ifstream in(std::string(ORMELIX_DEMO_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(DemoFiles, SettingsFileHoldsTheFourChunksInOrder)
{
    std::string file = ReadDemoFile("screensaver.cfg");
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(file.data());
    chunkfile::ChunkIndex index;
    std::string error;
    ASSERT_TRUE(index.Parse(bytes, file.size(), error)) << error;

    struct Row {
        const char* code;
        uint32_t size;
    } rows[] = {{"SCFP", 259}, {"SCTI", 4}, {"SCQC", 1}, {"SCSP", 1}};
    size_t previousOffset = 0;
    for (const Row& row : rows) {
        auto span = index.Find(row.code);
        ASSERT_TRUE(span.has_value()) << row.code;
        EXPECT_EQ(row.size, span->size) << row.code;
        EXPECT_GT(span->offset, previousOffset) << row.code << " out of order";
        previousOffset = span->offset;
    }

    std::string path(file.data() + index.Find("SCFP")->offset);
    EXPECT_EQ("demo.project", path);
    EXPECT_FALSE(project::IsAbsolutePath(path));
    const uint8_t* delay = bytes + index.Find("SCTI")->offset;
    EXPECT_EQ(20, delay[0] | delay[1] << 8 | delay[2] << 16 | delay[3] << 24);
    EXPECT_EQ(0, bytes[index.Find("SCQC")->offset]);
    EXPECT_EQ(1, bytes[index.Find("SCSP")->offset]);
}

TEST(DemoFiles, ProjectShowsTheSaverChannelsAndTheDriveLetters)
{
    project::ParseResult parsed = project::ParseProject(ReadDemoFile("demo.project"));
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const project::Project& demo = parsed.project;
    EXPECT_EQ((std::vector<std::string>{"OrmelixSaver", "OrmelixSaverPreview"}),
              demo.valueChannels);
    EXPECT_EQ((std::vector<std::string>{"3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26"}),
              demo.pluginChannels);
    std::string shown;
    for (const auto& line : demo.textLines)
        shown += project::ComposeTextLine(line, {0.5f, 0.75f}, {"A;C;Z;"}) + "\n";
    EXPECT_NE(std::string::npos, shown.find("0.5")) << shown;
    EXPECT_NE(std::string::npos, shown.find("0.75")) << shown;
    EXPECT_NE(std::string::npos, shown.find("A;C;Z;")) << shown;
}
