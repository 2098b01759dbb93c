// Composes the PATH that puts the engine's directories first, for a PATH of
// any length.
#include "host/EnginePath.h"

#include <string.h>

bool PathMentions(const char* path, const char* directory)
{
    return path != nullptr && strstr(path, directory) != nullptr;
}

namespace {

char* Append(char* at, const char* text)
{
    size_t length = strlen(text);
    memcpy(at, text, length);
    return at + length;
}

}  // namespace

size_t ComposeEnginePath(const char* directory, const char* oldPath, char* out, size_t outSize)
{
    static const char channels[] = "\\channels;";
    static const char support[] = "\\3rd";
    bool keepsOldPath = oldPath != nullptr && oldPath[0] != '\0';
    size_t directoryLength = strlen(directory);
    size_t size = 2 * directoryLength + (sizeof channels - 1) + (sizeof support - 1) + 1;
    if (keepsOldPath)
        size += 1 + strlen(oldPath);
    if (out == nullptr || outSize < size)
        return size;

    char* at = Append(out, directory);
    at = Append(at, channels);
    at = Append(at, directory);
    at = Append(at, support);
    if (keepsOldPath) {
        *at++ = ';';
        at = Append(at, oldPath);
    }
    *at = '\0';
    return size;
}
