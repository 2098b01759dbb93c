// Which install directories are full paths, and the engine search path.
#include "enginehost/EnginePath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Composes with the measure-then-write protocol a caller uses; a buffer one
// byte short of the measured size must receive nothing.
std::string Compose(const char* directory, const char* oldPath)
{
    size_t size = ComposeEnginePath(directory, oldPath, nullptr, 0);
    std::vector<char> out(size - 1, 'x');
    EXPECT_EQ(size, ComposeEnginePath(directory, oldPath, out.data(), out.size()));
    EXPECT_EQ(std::string(size - 1, 'x'), std::string(out.begin(), out.end()))
        << "written into a buffer too small";
    out.push_back('x');
    EXPECT_EQ(size, ComposeEnginePath(directory, oldPath, out.data(), out.size()));
    EXPECT_EQ('\0', out.back()) << "the measured size includes the terminator";
    return std::string(out.data());
}

}  // namespace

TEST(EnginePath, OnlyAFullPathIsAnInstallDirectory)
{
    struct Row {
        const char* rule;
        const char* path;
        bool full;
    } rows[] = {
        {"a missing directory", nullptr, false},
        {"empty: the root of the current drive", "", false},
        {"the current directory", ".", false},
        {"inside the current directory", "eng", false},
        {"dot-relative", ".\\eng", false},
        {"parent-relative", "..\\eng", false},
        {"relative to the current drive's root", "\\eng", false},
        {"the current drive's root itself", "\\", false},
        {"drive-relative: the drive's current directory", "C:", false},
        {"drive-relative: below the drive's current directory", "C:eng", false},
        {"a drive root", "C:\\", true},
        {"a directory on a drive", "C:\\Program Files\\Ormelix", true},
        {"a lower-case drive letter", "d:\\x", true},
        {"a slash is a separator too", "C:/x", true},
        {"a digit is no drive letter", "1:\\x", false},
        {"two letters are no drive", "CC:\\x", false},
        {"a colon first is no drive", ":\\x", false},
        {"a network share", "\\\\s\\h", true},
        {"a directory on a share", "\\\\server\\share\\eng", true},
        {"a share with slashes", "//s/h", true},
        {"two separators alone", "\\\\", false},
        {"a server without a share", "\\\\s", false},
        {"a server and an empty share", "\\\\s\\", false},
        {"an empty server name", "\\\\\\h", false},
        {"the device namespace", "\\\\.\\C:\\x", false},
        {"the unparsed-path namespace", "\\\\?\\C:\\x", false},
        {"a server whose name starts with a dot", "\\\\.s\\h", true},
        {"a ';' splits PATH into a relative entry", "C:\\eng;.", false},
        {"a ';' at the end", "C:\\eng;", false},
    };
    for (const Row& row : rows) EXPECT_EQ(row.full, IsFullPath(row.path)) << row.rule;
}

TEST(EnginePath, MentionsIsACaseSensitiveSubstringOfTheWholePath)
{
    std::string longPath(5000, 'q');
    std::string farAway = longPath + ";D:\\P";
    struct Row {
        const char* rule;
        const char* path;
        const char* directory;
        bool mentioned;
    } rows[] = {
        {"an entry of its own", "C:\\A;D:\\P;E:\\B", "D:\\P", true},
        {"inside a longer entry", "C:\\A;D:\\P\\channels", "D:\\P", true},
        {"letter case matters", "C:\\A;d:\\p", "D:\\P", false},
        {"absent", "C:\\A;C:\\B", "D:\\P", false},
        {"a missing PATH mentions nothing", nullptr, "D:\\P", false},
        {"beyond any fixed read limit", farAway.c_str(), "D:\\P", true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.mentioned, PathMentions(row.path, row.directory)) << row.rule;
}

TEST(EnginePath, ComposePutsTheEngineDirectoriesFirst)
{
    std::string longPath(5000, 'q');
    struct Row {
        const char* rule;
        const char* oldPath;
        std::string expected;
    } rows[] = {
        {"the two entries, then the old PATH", "C:\\A", "D:\\P\\channels;D:\\P\\3rd;C:\\A"},
        {"a missing PATH gives just the two entries", nullptr, "D:\\P\\channels;D:\\P\\3rd"},
        {"an empty PATH gives just the two entries", "", "D:\\P\\channels;D:\\P\\3rd"},
        {"a PATH of 5000 characters is kept whole", longPath.c_str(),
         "D:\\P\\channels;D:\\P\\3rd;" + longPath},
    };
    for (const Row& row : rows) EXPECT_EQ(row.expected, Compose("D:\\P", row.oldPath)) << row.rule;
}
