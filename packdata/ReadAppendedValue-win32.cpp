// The one way into the data block appended to the viewer's executable: a
// reader over the file the command line names, with message boxes for its
// failures.
#include "packdata/ReadAppendedValue.h"

#include "packdata/AppendedDataReader.h"
#include "packdata/ExecutablePath.h"
#include "packdata/Win32BlockFile.h"

namespace {

class MessageBoxReporter : public MessageReporter {
public:
    void Report(const char* text, const char* caption) override
    {
        MessageBoxA(nullptr, text, caption, MB_OK);
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
