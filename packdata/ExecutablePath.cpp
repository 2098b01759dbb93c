// The path of the viewer's own executable (see ExecutablePath.h). The walk
// runs to the end of the command line, so a line that ends with the path
// itself (the settings mode started without a switch) still gives it whole.
// Bytes are taken one by one: a double-byte character's trail byte is never
// a quote or a full stop, and a full stop is never a lead byte.
#include "packdata/ExecutablePath.h"

#include "common/BoundedText.h"

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsWithScr(const char* commandLine, int j)
{
    return j >= 4 && commandLine[j - 3] == '.' && Lower(commandLine[j - 2]) == 's' &&
           Lower(commandLine[j - 1]) == 'c' && Lower(commandLine[j]) == 'r';
}

}  // namespace

void ExecutablePathFromCommandLine(const char* commandLine, char* path)
{
    int length = 0;
    for (int j = 0; j < textLimit && commandLine[j]; ++j) {
        if (commandLine[j] != '"') path[length++] = commandLine[j];
        if (EndsWithScr(commandLine, j)) break;
    }
    path[length] = '\0';
}
