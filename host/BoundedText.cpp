// Bounded joining and copying of texts into fixed-size buffers.
#include "host/BoundedText.h"

#include <string.h>

bool JoinPath(char* out, size_t outSize, const char* directory, const char* name)
{
    if (outSize == 0)
        return false;
    out[0] = '\0';
    size_t directoryLength = strlen(directory);
    size_t nameLength = strlen(name);
    if (directoryLength + 1 + nameLength >= outSize)
        return false;
    memcpy(out, directory, directoryLength);
    out[directoryLength] = '\\';
    memcpy(out + directoryLength + 1, name, nameLength + 1);
    return true;
}

void CopyText(char* out, const char* source, size_t maxChars)
{
    size_t length = 0;
    while (length < maxChars && source[length] != '\0') {
        out[length] = source[length];
        ++length;
    }
    if (length < maxChars)
        out[length] = '\0';
}
