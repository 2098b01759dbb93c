// The viewer's fixed buffers against the longest names users can hand it:
// the registry key path (264 bytes) for project names of 222 and 223
// characters, the settings file path (260 bytes) for install directories
// around its limit. Each fits whole or is refused
// with an empty result, never cut.
#include "common/BoundedText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string viewersKey = "SOFTWARE\\Velcor\\Ormelix Viewers\\3.00.000";
const size_t keyPathSize = 264;
const size_t pathSize = 260;

std::string Directory(size_t length) { return "C:\\" + std::string(length - 3, 'd'); }

TEST(HostilePathLimits, NamesFitTheViewersBuffersWholeOrNotAtAll)
{
    struct Row {
        const char* rule;
        size_t bufferSize;
        std::string directory;
        std::string name;
        bool fits;
    } rows[] = {
        // 40 + 1 + 222 = 263 characters and the terminator: the longest key path.
        {"a project name of 222 characters", keyPathSize, viewersKey, std::string(222, 'p'), true},
        {"a project name of 223 characters", keyPathSize, viewersKey, std::string(223, 'p'), false},
        // 243 + 1 + 15 = 259 characters: the longest settings file path.
        {"the settings file in 243 characters", pathSize, Directory(243), "screensaver.cfg", true},
        {"the settings file in 244 characters", pathSize, Directory(244), "screensaver.cfg", false},
        {"the settings file in 259 characters", pathSize, Directory(259), "screensaver.cfg", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        std::vector<char> out(row.bufferSize + 1, '#');  // one guard byte past the buffer
        bool fits = JoinPath(out.data(), row.bufferSize, row.directory.c_str(), row.name.c_str());
        EXPECT_EQ(row.fits, fits);
        EXPECT_EQ(row.fits ? row.directory + "\\" + row.name : "", std::string(out.data()));
        EXPECT_EQ('#', out[row.bufferSize]) << "written past the buffer";
    }
}

}  // namespace
