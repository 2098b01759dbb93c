// Bounded joining and copying of texts into fixed-size buffers.
#include "common/BoundedText.h"

#include <string.h>

bool JoinPath(char* out, size_t outSize, const char* directory, const char* name)
{
    if (outSize == 0) return false;
    out[0] = '\0';
    size_t directoryLength = strlen(directory);
    size_t nameLength = strlen(name);
    if (directoryLength + 1 + nameLength >= outSize) return false;
    memcpy(out, directory, directoryLength);
    out[directoryLength] = '\\';
    memcpy(out + directoryLength + 1, name, nameLength + 1);
    return true;
}

void CopyText(char* out, size_t outSize, const char* source)
{
    if (outSize == 0) return;
    size_t length = 0;
    while (length + 1 < outSize && source[length] != '\0') {
        out[length] = source[length];
        ++length;
    }
    out[length] = '\0';
}
