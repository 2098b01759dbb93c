// The packing tool's commands on real files in a scratch folder: what a
// packed file holds, and every refusal with its message and exit code.
#include "tools/SaverPack.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "packdata/AppendedDataReader.h"
#include "packdata/Crc32.h"
#include "tools/ByteBlockFile.h"

namespace {

namespace fs = std::filesystem;

class SaverPackTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("saverpack-test-" + std::to_string(getpid()));
        fs::create_directories(folder);
        viewer = (folder / "saverviewer.scr").string();
        WriteFile(viewer, std::string(57344, 'V'));
    }
    void TearDown() override { fs::remove_all(folder); }

    static void WriteFile(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string Path(const char* name) const { return (folder / name).string(); }

    int Pack(const std::string& from, const std::string& to, const std::string& name,
             bool replace = false)
    {
        errors.str("");
        return PackViewer(from, to, name, replace, errors);
    }
    // The project name as the viewer reads it from a packed file.
    static std::string ProjectNameIn(const std::string& path)
    {
        std::string text = ReadFile(path);
        std::vector<uint8_t> bytes(text.begin(), text.end());
        ByteBlockFile file(bytes);
        struct : MessageReporter {
            void Report(const char*, const char*) override {}
        } quiet;
        AppendedDataReader reader(file, quiet, path.c_str());
        char name[259] = {};
        return reader.ReadEntry("ProjectName", name, sizeof name, nullptr) ? name : "<none>";
    }

    fs::path folder;
    std::string viewer;
    std::ostringstream errors;
};

TEST_F(SaverPackTest, PacksTheShippedBlock)
{
    std::string output = Path("demo.scr");
    ASSERT_EQ(0, Pack(viewer, output, "Demo Project")) << errors.str();
    std::string packed = ReadFile(output);
    ASSERT_EQ(57344u + 343u, packed.size()) << "the viewer and a 343-byte block";
    EXPECT_EQ(ReadFile(viewer), packed.substr(0, 57344)) << "the viewer is copied unchanged";
    EXPECT_EQ(std::string("\x00\xe0\x00\x00", 4), packed.substr(packed.size() - 4))
        << "trailer 57344";
    EXPECT_EQ(std::string("\x50\x00\x00\x00", 4), packed.substr(57344 + 76, 4)) << "data offset 80";
    EXPECT_EQ("Demo Project", ProjectNameIn(output));

    std::ostringstream listed;
    ASSERT_EQ(0, ListBlock(output, listed, errors)) << errors.str();
    std::string data = std::string("Demo Project") + std::string(259 - 12, '\0');
    std::ostringstream crc;
    crc << std::hex << std::setw(8) << std::setfill('0') << Crc32(data.data(), data.size());
    EXPECT_EQ("APPDATA\tPROJECTNAME\t259\t" + crc.str() + "\tok\n", listed.str());

    // Damaged data shows as a CRC mismatch.
    packed[57344 + 80] = 'X';
    WriteFile(output, packed);
    listed.str("");
    ASSERT_EQ(0, ListBlock(output, listed, errors));
    EXPECT_NE(std::string::npos, listed.str().find("\tBAD\n")) << listed.str();
}

TEST_F(SaverPackTest, RefusesBadInputAndLosesNothing)
{
    std::string packedViewer = Path("packed.scr");
    ASSERT_EQ(0, Pack(viewer, packedViewer, "First"));
    struct Case {
        const char* rule;
        std::string from, to, name;
        bool replace;
        const char* message;
    } cases[] = {
        {"a missing viewer", Path("missing.scr"), Path("out.scr"), "P", false,
         "cannot read the viewer"},
        {"a folder as viewer", folder.string(), Path("out.scr"), "P", false,
         "cannot read the viewer"},
        {"an empty name", viewer, Path("out.scr"), "", false, "the project name is empty"},
        {"a name of 259 characters", viewer, Path("out.scr"), std::string(259, 'n'), false,
         "at most 258 fit"},
        {"the output is the viewer", viewer, viewer, "P", false, "is the viewer itself"},
        {"the output is the viewer by another path", viewer,
         (folder / "." / "saverviewer.scr").string(), "P", false, "is the viewer itself"},
        {"a viewer that carries a block", packedViewer, Path("out.scr"), "P", false,
         "use --replace"},
        {"an unwritable output", viewer, Path("no-such-folder/out.scr"), "P", false,
         "cannot write"},
    };
    for (const Case& c : cases) {
        std::string viewerBefore = ReadFile(viewer), packedBefore = ReadFile(packedViewer);
        EXPECT_EQ(1, Pack(c.from, c.to, c.name, c.replace)) << c.rule;
        EXPECT_NE(std::string::npos, errors.str().find(c.message))
            << c.rule << ": " << errors.str();
        EXPECT_FALSE(fs::exists(Path("out.scr"))) << c.rule;
        EXPECT_EQ(viewerBefore, ReadFile(viewer)) << c.rule;
        EXPECT_EQ(packedBefore, ReadFile(packedViewer)) << c.rule;
    }
    EXPECT_EQ(0, Pack(viewer, Path("out.scr"), std::string(258, 'n'))) << "258 characters fit";
}

TEST_F(SaverPackTest, ReplacesAnExistingBlock)
{
    std::string first = Path("first.scr"), second = Path("second.scr");
    ASSERT_EQ(0, Pack(viewer, first, "First"));
    ASSERT_EQ(0, Pack(first, second, "Second", true)) << errors.str();
    EXPECT_EQ(ReadFile(first).size(), ReadFile(second).size())
        << "the old block is cut off, not kept";
    EXPECT_EQ("Second", ProjectNameIn(second));
    ASSERT_EQ(0, Pack(first, first + ".again", "Again", true));
    EXPECT_EQ("First", ProjectNameIn(first)) << "replacing never touches the viewer";
}

TEST_F(SaverPackTest, ListRefusesFilesWithoutAWholeBlock)
{
    std::string packed = Path("packed.scr"), damaged = Path("damaged.scr");
    ASSERT_EQ(0, Pack(viewer, packed, "Demo"));
    std::string bytes = ReadFile(packed);
    bytes[57344 + 40] = 'X';  // the group name's length: far above 260
    WriteFile(damaged, bytes);
    struct Case {
        const char* rule;
        std::string file;
        const char* message;
    } cases[] = {
        {"a file without block", viewer, "Data header not found!"},
        {"a missing file", Path("missing.scr"), "cannot read"},
        {"a block whose entry table is damaged", damaged,
         "entry table of the block at offset 57344 is damaged"},
    };
    for (const Case& c : cases) {
        std::ostringstream listed;
        errors.str("");
        EXPECT_EQ(1, ListBlock(c.file, listed, errors)) << c.rule;
        EXPECT_NE(std::string::npos, errors.str().find(c.message))
            << c.rule << ": " << errors.str();
        EXPECT_NE(std::string::npos, errors.str().find(c.file)) << c.rule << ": names the file";
        EXPECT_EQ("", listed.str()) << c.rule;
    }
}

TEST_F(SaverPackTest, PathsLongerThanTheViewersOwnLimit)
{
    // The viewer cuts paths at 259 characters; the tool must not.
    fs::path deep = folder / std::string(200, 'd');
    fs::create_directories(deep);
    std::string packed = (deep / (std::string(100, 'p') + ".scr")).string();
    ASSERT_GT(packed.size(), 300u);
    ASSERT_EQ(0, Pack(viewer, packed, "Long")) << errors.str();
    EXPECT_EQ(1, Pack(packed, Path("out.scr"), "Again")) << "the block is seen";
    EXPECT_NE(std::string::npos, errors.str().find("use --replace")) << errors.str();
    std::ostringstream listed;
    EXPECT_EQ(0, ListBlock(packed, listed, errors)) << errors.str();
    EXPECT_EQ(0u, listed.str().find("APPDATA\tPROJECTNAME\t259\t")) << listed.str();
}

}  // namespace
