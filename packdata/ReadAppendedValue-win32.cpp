// The one way into the data block appended to the viewer's executable: a
// reader over the file the command line names, with error boxes for its
// failures, and the packed project name read once.
#include "packdata/ReadAppendedValue.h"

#include "common/ErrorBox.h"
#include "packdata/AppendedDataReader.h"
#include "packdata/ExecutablePath.h"
#include "packdata/Win32BlockFile.h"

namespace {

class MessageBoxReporter : public MessageReporter {
public:
    void Report(const char* text, const char* caption) override
    {
        ShowErrorBox(nullptr, text, caption, 0);
    }
};

}  // namespace

bool ReadAppendedValue(const char* entryName, void* buffer, int size)
{
    char path[blockNameFieldSize];
    ExecutablePathFromCommandLine(GetCommandLineA(), path);
    Win32BlockFile file;
    MessageBoxReporter reporter;
    AppendedDataReader reader(file, reporter, path);
    return reader.ReadEntry(entryName, buffer, size, shippedGroupName);
}

bool ReadProjectName(char (&name)[textSize])
{
    static bool read = false;
    static bool found = false;
    static DWORD error = 0;
    static char packedName[textSize];
    if (!read) {
        found = ReadAppendedValue("ProjectName", packedName, textLimit);
        error = GetLastError();
        read = true;
    }
    CopyMemory(name, packedName, textSize);
    if (!found) SetLastError(error);
    return found;
}
