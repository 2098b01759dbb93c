// Decides whether an install directory is a full path, and composes the PATH
// that puts the engine's directories first, for a PATH of any length.
#include "enginehost/EnginePath.h"

#include <string.h>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// \\server\share...: a server name, a separator and a share name, neither
// empty; "." and "?" as the server name are the device namespaces.
bool IsNetworkPath(const char* path)
{
    if (!IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
    const char* server = path + 2;
    size_t serverLength = 0;
    while (server[serverLength] != '\0' && !IsSeparator(server[serverLength])) ++serverLength;
    if (serverLength == 0 || !IsSeparator(server[serverLength])) return false;
    if (serverLength == 1 && (server[0] == '.' || server[0] == '?')) return false;
    char share = server[serverLength + 1];
    return share != '\0' && !IsSeparator(share);
}

char* Append(char* at, const char* text)
{
    size_t length = strlen(text);
    memcpy(at, text, length);
    return at + length;
}

}  // namespace

bool IsFullPath(const char* path)
{
    if (path == nullptr || strchr(path, ';') != nullptr) return false;
    if (IsDriveLetter(path[0]) && path[1] == ':') return IsSeparator(path[2]);
    return IsNetworkPath(path);
}

bool PathMentions(const char* path, const char* directory)
{
    return path != nullptr && strstr(path, directory) != nullptr;
}

size_t ComposeEnginePath(const char* directory, const char* oldPath, char* out, size_t outSize)
{
    static const char channels[] = "\\channels;";
    static const char support[] = "\\3rd";
    bool keepsOldPath = oldPath != nullptr && oldPath[0] != '\0';
    size_t directoryLength = strlen(directory);
    size_t size = 2 * directoryLength + (sizeof channels - 1) + (sizeof support - 1) + 1;
    if (keepsOldPath) size += 1 + strlen(oldPath);
    if (out == nullptr || outSize < size) return size;

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
