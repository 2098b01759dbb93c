// Resolving a project path against the install directory (see ProjectPath.h).
#include "ProjectPath.h"

#include <ctype.h>

namespace project {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool IsAbsolutePath(const std::string& path)
{
    if (!path.empty() && IsSeparator(path[0])) return true;
    return path.size() >= 3 && isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           IsSeparator(path[2]);
}

std::string ResolveProjectPath(const std::string& installDirectory, const std::string& path)
{
    if (path.empty() || IsAbsolutePath(path) || installDirectory.empty()) return path;
    std::string resolved = installDirectory;
    if (!IsSeparator(resolved.back())) resolved += '\\';
    return resolved + path;
}

}  // namespace project
