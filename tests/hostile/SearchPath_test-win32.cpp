// A PATH as long as the environment allows (32,766 characters and its
// terminator) and install directories too long for the viewer's buffers:
// PATH gains the engine's entries whole, in front of the whole old PATH, or
// stays exactly as it was; the engine still loads by its full path.
#include "HostileSupport.h"

namespace {

const char directory[] = "D:\\P";
const std::string entries = "D:\\P\\channels;D:\\P\\3rd;";  // 23 characters
const size_t longestValue = 32766;                            // characters, without the terminator

// An old PATH of exactly length characters that does not mention directory.
std::string OldPath(size_t length) { return "C:\\" + std::string(length - 3, 'p'); }

TEST(HostilePath, TheEnginesEntriesFitWholeOrPathStaysAsItWas)
{
    std::string fits = OldPath(longestValue - entries.size());
    std::string oneTooMany = OldPath(longestValue - entries.size() + 1);
    std::string longest = OldPath(longestValue);
    std::string longestMentioning = OldPath(longestValue - 5) + ";D:\\P";
    std::string longDirectory = "C:\\" + std::string(256, 'l');  // 259 characters
    std::string tooLongDirectory = longDirectory + "x";           // 260 characters
    struct Row {
        const char* rule;
        std::string oldPath;
        const char* directory;
        std::string expected;
    } rows[] = {
        // 32,743 + 23 = 32,766 characters: the longest value there is.
        {"the new PATH fills the longest value", fits, directory, entries + fits},
        // 32,767 characters cannot be set: nothing is cut, PATH stays.
        {"one character more leaves PATH exactly as it was", oneTooMany, directory, oneTooMany},
        {"the longest PATH stays exactly as it was", longest, directory, longest},
        {"the longest PATH that mentions the directory stays untouched", longestMentioning,
         directory, longestMentioning},
        {"a directory of 259 characters goes on PATH whole", "C:\\A", longDirectory.c_str(),
         longDirectory + "\\channels;" + longDirectory + "\\3rd;C:\\A"},
        // Cut to 259 characters it would name another directory.
        {"a directory of 260 characters is not cut onto PATH", "C:\\A", tooLongDirectory.c_str(),
         "C:\\A"},
    };
    SavedPath saved;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        ASSERT_TRUE(SetEnvironmentVariableA("PATH", row.oldPath.c_str()));
        ASSERT_EQ(row.oldPath.size(), ReadPath().size()) << "the environment took the old PATH whole";
        PrependEnginePaths(row.directory);
        std::string now = ReadPath();
        EXPECT_EQ(row.expected.size(), now.size());
        EXPECT_TRUE(row.expected == now) << "PATH begins " << now.substr(0, 40);
    }
}

TEST(HostilePath, TheEngineLoadsByItsFullPathWhenPathIsFull)
{
    SavedPath saved;
    std::string longest = OldPath(longestValue);
    ASSERT_TRUE(SetEnvironmentVariableA("PATH", longest.c_str()));
    EngineControl* engine = LoadEngineLibrary(ProgramDirectory().c_str());
    EXPECT_NE(nullptr, engine);
    if (engine != nullptr)
        engine->Destroy(1);
    EXPECT_TRUE(longest == ReadPath()) << "PATH was changed";
}

}  // namespace
