// The host tools on real files in a scratch folder: what a packed file and a
// settings file hold, and every refusal with its message and exit code.
#include "tools/SaverPack.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "packdata/AppendedDataReader.h"
#include "packdata/Crc32.h"
#include "tools/BlockWriter.h"
#include "tools/ByteBlockFile.h"
#include "tools/MakeConfig.h"

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
    static std::string Repeat(const std::string& text, int times)
    {
        std::string repeated;
        while (times-- > 0) repeated += text;
        return repeated;
    }
    std::string Path(const char* name) const { return (folder / name).string(); }

    // Runs saverpack; what it prints in printed, its messages in errors.
    int Run(const std::vector<std::string>& args)
    {
        printed.str("");
        errors.str("");
        return RunSaverPack(args, printed, errors);
    }
    int Pack(const std::string& from, const std::string& to, const std::string& name,
             bool replace = false)
    {
        if (replace) return Run({"pack", "--replace", from, to, name});
        return Run({"pack", from, to, name});
    }
    // A copy of the viewer with a block of entries made by hand.
    std::string PackByHand(const char* name, const std::vector<BlockEntry>& entries)
    {
        std::vector<uint8_t> block = BuildBlock(entries, 57344);
        WriteFile(Path(name), ReadFile(viewer) + std::string(block.begin(), block.end()));
        return Path(name);
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
    std::ostringstream printed, errors;
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

    ASSERT_EQ(0, Run({"list", output})) << errors.str();
    std::string data = std::string("Demo Project") + std::string(259 - 12, '\0');
    std::ostringstream crc;
    crc << std::hex << std::setw(8) << std::setfill('0') << Crc32(data.data(), data.size());
    EXPECT_EQ("APPDATA\tPROJECTNAME\t259\t" + crc.str() +
                  "\tok\nproject name: Demo Project (code page 1252)\n",
              printed.str());

    // Damaged data shows as a CRC mismatch.
    packed[57344 + 80] = 'X';
    WriteFile(output, packed);
    ASSERT_EQ(0, Run({"list", output}));
    EXPECT_NE(std::string::npos, printed.str().find("\tBAD\n")) << printed.str();
}

TEST_F(SaverPackTest, WritesTheNameInTheCodePageAndListsItBack)
{
    struct Case {
        const char* rule;
        std::vector<std::string> options;
        std::string name, bytes, codePage;
    } cases[] = {
        {"accented letters in 1252", {}, "\u00dcn\u00efc\u00f8d\u00e9 Saver",
         "\xdcn\xef" "c\xf8" "d\xe9 Saver", "1252"},
        {"219 characters: the longest key path", {}, std::string(219, 'n'),
         std::string(219, 'n'), "1252"},
        {"219 accented characters: 219 bytes", {}, Repeat("\u00e9", 219),
         std::string(219, '\xe9'), "1252"},
        {"Cyrillic in 1251", {"--codepage", "1251"},
         "\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440",
         "\xcf\xf0\xe8\xe2\xe5\xf2 \xec\xe8\xf0", "1251"},
        {"two bytes a character in 932", {"--codepage", "932"}, "\u65e5\u672c",
         "\x93\xfa\x96\x7b", "932"},
    };
    for (const Case& c : cases) {
        std::string output = Path("named.scr");
        std::vector<std::string> args = {"pack", viewer, output, c.name};
        args.insert(args.begin() + 1, c.options.begin(), c.options.end());
        ASSERT_EQ(0, Run(args)) << c.rule << ": " << errors.str();
        EXPECT_EQ(c.bytes, ProjectNameIn(output)) << c.rule;
        args = {"list", output};
        args.insert(args.begin() + 1, c.options.begin(), c.options.end());
        ASSERT_EQ(0, Run(args)) << c.rule << ": " << errors.str();
        EXPECT_NE(std::string::npos,
                  printed.str().find("\nproject name: " + c.name + " (code page " + c.codePage +
                                     ")\n"))
            << c.rule << ": " << printed.str();
    }
}

TEST_F(SaverPackTest, RefusesBadInputAndLosesNothing)
{
    std::string packedViewer = Path("packed.scr");
    ASSERT_EQ(0, Pack(viewer, packedViewer, "First"));
    std::string out = Path("out.scr");
    struct Case {
        const char* rule;
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {"a missing viewer", {"pack", Path("missing.scr"), out, "P"}, "cannot read the viewer"},
        {"a folder as viewer", {"pack", folder.string(), out, "P"}, "cannot read the viewer"},
        {"an empty name", {"pack", viewer, out, ""}, "the project name is empty"},
        {"220 characters", {"pack", viewer, out, std::string(220, 'n')},
         "has 220 characters; at most 219 fit in the viewer's registry key path"},
        {"220 accented characters are counted as characters",
         {"pack", viewer, out, Repeat("\u00e9", 220)},
         "has 220 characters; at most 219 fit"},
        {"220 bytes in a code page of two bytes a character",
         {"pack", "--codepage", "932", viewer, out, Repeat("\u65e5", 110)},
         "takes 220 bytes in code page 932 (some characters take more than one); at most 219"},
        {"a character the code page lacks", {"pack", viewer, out, "\u03a9mega"},
         "holds \"\u03a9\" (U+03A9), which code page 1252 lacks; choose the code page of the "
         "Windows it is for with --codepage N"},
        {"a yen sign, which code page 932 reads back as a backslash",
         {"pack", "--codepage", "932", viewer, out, "A\u00a5B"},
         "holds \"\u00a5\" (U+00A5) as \"\\\" (U+005C), which is how code page 932 reads it "
         "back"},
        {"a wave dash, which code page 932 reads back as a fullwidth tilde",
         {"pack", "--codepage", "932", viewer, out, "\u301c"}, "(U+301C) as \"\uff5e\" (U+FF5E)"},
        {"a backslash", {"pack", viewer, out, "A\\B"},
         "holds a backslash (U+005C), which no registry key name may hold"},
        {"a control character", {"pack", viewer, out, "A\tB"}, "a control character (U+0009)"},
        {"not UTF-8", {"pack", viewer, out, "Proj\xe9kt"},
         "the project name is not valid UTF-8 (byte 0xE9 at position 5)"},
        {"an unknown code page", {"pack", "--codepage", "437", viewer, out, "P"},
         "code page \"437\" is not supported; use 874, 1250 to 1258, 932, 936, 949 or 950"},
        {"the output is the viewer", {"pack", viewer, viewer, "P"}, "is the viewer itself"},
        {"the output is the viewer by another path",
         {"pack", viewer, (folder / "." / "saverviewer.scr").string(), "P"},
         "is the viewer itself"},
        {"a viewer that carries a block", {"pack", packedViewer, out, "P"}, "use --replace"},
        {"an unwritable output", {"pack", viewer, Path("no-such-folder/out.scr"), "P"},
         "cannot write"},
    };
    for (const Case& c : cases) {
        std::string viewerBefore = ReadFile(viewer), packedBefore = ReadFile(packedViewer);
        EXPECT_EQ(1, Run(c.args)) << c.rule;
        EXPECT_NE(std::string::npos, errors.str().find(c.message))
            << c.rule << ": " << errors.str();
        EXPECT_FALSE(fs::exists(out)) << c.rule;
        EXPECT_EQ(viewerBefore, ReadFile(viewer)) << c.rule;
        EXPECT_EQ(packedBefore, ReadFile(packedViewer)) << c.rule;
    }
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

TEST_F(SaverPackTest, ListSaysWhatTheViewerCannotRead)
{
    std::string packed = Path("packed.scr"), damaged = Path("damaged.scr");
    ASSERT_EQ(0, Pack(viewer, packed, "Demo"));
    std::string bytes = ReadFile(packed);
    bytes[57344 + 40] = 'X';  // the group name's length: far above 260
    WriteFile(damaged, bytes);
    struct Case {
        const char* rule;
        std::string file;
        int exitCode;
        const char* shown;    // part of what is printed; null: nothing
        const char* message;  // part of the messages; null: none
    } cases[] = {
        {"a file without block", viewer, 1, nullptr, "Data header not found!"},
        {"a missing file", Path("missing.scr"), 1, nullptr, "cannot read"},
        {"a block whose entry table is damaged", damaged, 1, nullptr,
         "entry table of the block at offset 57344 is damaged"},
        {"a name of 220 bytes", PackByHand("long.scr", {ProjectNameEntry(std::string(220, 'p'))}),
         1, "\nproject name: ppp", "the project name takes 220 bytes; at most 219 fit"},
        {"a name without its terminating zero",
         PackByHand("unended.scr", {{"APPDATA", "PROJECTNAME", std::vector<uint8_t>(259, 'p')}}),
         1, "APPDATA\tPROJECTNAME\t259\t", "fills all 259 bytes of its entry without ending"},
        {"no project-name entry", PackByHand("other.scr", {{"APPDATA", "OTHER", {'x', 0}}}), 1,
         "APPDATA\tOTHER\t2\t", "the block has no APPDATA PROJECTNAME entry"},
        {"an empty name", PackByHand("empty.scr", {ProjectNameEntry("")}), 1, "PROJECTNAME",
         "the project name is empty"},
        {"a byte 1252 does not define, escaped",
         PackByHand("odd.scr", {ProjectNameEntry("A\x81\tB")}), 1,
         "\nproject name: A\\x81\\x09B (code page 1252)\n",
         "holds the byte 0x81, which code page 1252 does not define"},
        {"DEL, escaped", PackByHand("del.scr", {ProjectNameEntry("A\x7f")}), 1,
         "\nproject name: A\\x7F (code page 1252)\n", "a control character (U+007F)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.exitCode, Run({"list", c.file})) << c.rule;
        if (c.shown)
            EXPECT_NE(std::string::npos, printed.str().find(c.shown))
                << c.rule << ": " << printed.str();
        else
            EXPECT_EQ("", printed.str()) << c.rule;
        if (c.message) {
            EXPECT_NE(std::string::npos, errors.str().find(c.message))
                << c.rule << ": " << errors.str();
            EXPECT_NE(std::string::npos, errors.str().find(c.file)) << c.rule << ": names the file";
        } else {
            EXPECT_EQ("", errors.str()) << c.rule;
        }
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
    EXPECT_EQ(0, Run({"list", packed})) << errors.str();
    EXPECT_EQ(0u, printed.str().find("APPDATA\tPROJECTNAME\t259\t")) << printed.str();
}

TEST_F(SaverPackTest, MakeConfigWritesThePathInTheCodePage)
{
    std::string cfg = Path("screensaver.cfg");
    struct Case {
        const char* rule;
        std::vector<std::string> args;
        std::string pathBytes;
    } cases[] = {
        {"Cyrillic in 1251",
         {"--codepage", "1251", cfg, "C:\\\u041f\u0440\u043e\u0435\u043a\u0442\u044b\\d.prj", "20",
          "1", "0"},
         "C:\\\xcf\xf0\xee\xe5\xea\xf2\xfb\\d.prj"},
        {"130 accented characters: 260 bytes typed, 130 written",
         {cfg, Repeat("\u00e9", 130), "20", "1", "0"}, std::string(130, '\xe9')},
    };
    for (const Case& c : cases) {
        std::ostringstream out, err;
        ASSERT_EQ(0, RunMakeConfig(c.args, out, err)) << c.rule << ": " << err.str();
        std::string path = c.pathBytes + std::string(259 - c.pathBytes.size(), '\0');
        EXPECT_EQ(std::string("OCHKSCFP\x03\x01\0\0", 12) + path +
                      std::string("SCTI\x04\0\0\0\x14\0\0\0SCQC\x01\0\0\0\x01SCSP\x01\0\0\0\0", 30),
                  ReadFile(cfg))
            << c.rule;
    }
}

TEST_F(SaverPackTest, BothToolsFollowOneCommandLineConvention)
{
    using Tool = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);
    std::string cfg = Path("screensaver.cfg");
    struct Case {
        const char* rule;
        Tool tool;
        std::vector<std::string> args;
        int exitCode;         // 0 help, 1 bad input, 2 wrong usage
        const char* message;  // part of what help prints on out, or of err
    } cases[] = {
        {"saverpack --help", RunSaverPack, {"--help"}, 0, "usage: saverpack pack"},
        {"saverpack -h among other words", RunSaverPack, {"list", "-h"}, 0, "usage: saverpack"},
        {"makecfg --help", RunMakeConfig, {"--help"}, 0, "usage: makecfg"},
        {"saverpack without a command", RunSaverPack, {}, 2, "no command given"},
        {"saverpack, an unknown command", RunSaverPack, {"frob", "x"}, 2,
         "unknown command \"frob\""},
        {"saverpack, an unknown option", RunSaverPack, {"pack", "--frob", "a", "b", "c"}, 2,
         "unknown option --frob"},
        {"saverpack list with --replace", RunSaverPack, {"list", "--replace", "f"}, 2,
         "wrong arguments for list"},
        {"saverpack pack a word short", RunSaverPack, {"pack", "a", "b"}, 2,
         "wrong arguments for pack"},
        {"--codepage without its value", RunSaverPack, {"list", "f", "--codepage"}, 2,
         "--codepage needs a code page number"},
        {"makecfg with four words", RunMakeConfig, {cfg, "p", "20", "0"}, 2,
         "five arguments expected, 4 given"},
        {"makecfg, an unknown option", RunMakeConfig, {"-x", cfg, "p", "20", "0", "1"}, 2,
         "unknown option -x"},
        {"makecfg, a frame delay that is no number", RunMakeConfig, {cfg, "p", "abc", "0", "1"},
         1, "frame delay \"abc\" is not a whole number from 0 to 2147483647"},
        {"makecfg, a negative frame delay", RunMakeConfig, {cfg, "p", "-5", "0", "1"}, 1,
         "frame delay \"-5\""},
        {"makecfg, do-not-quit 2", RunMakeConfig, {cfg, "p", "20", "2", "1"}, 1,
         "do-not-quit \"2\" is not a whole number from 0 to 1"},
        {"makecfg, preview x", RunMakeConfig, {cfg, "p", "20", "0", "x"}, 1, "preview \"x\""},
        {"makecfg, an unknown code page", RunMakeConfig,
         {"--codepage", "1200", cfg, "p", "20", "0", "1"}, 1,
         "code page \"1200\" is not supported"},
        {"makecfg, a path of 259 characters", RunMakeConfig,
         {cfg, std::string(259, 'p'), "20", "0", "1"}, 1,
         "the project path has 259 characters; at most 258 fit"},
        {"makecfg, an unwritable output", RunMakeConfig,
         {Path("no-such-folder/s.cfg"), "p", "20", "0", "1"}, 1, "cannot write "},
    };
    for (const Case& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(c.exitCode, c.tool(c.args, out, err)) << c.rule;
        std::string told = (c.exitCode == 0 ? out : err).str();
        EXPECT_NE(std::string::npos, told.find(c.message)) << c.rule << ": " << told;
        EXPECT_EQ(c.exitCode != 1, told.find("usage:") != std::string::npos)
            << c.rule << ": the usage with help and wrong usage only";
        EXPECT_EQ("", (c.exitCode == 0 ? err : out).str()) << c.rule;
        EXPECT_FALSE(fs::exists(cfg)) << c.rule;
    }
}

}  // namespace
