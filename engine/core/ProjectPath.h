// Where a project path given to LoadProject points: absolute Windows paths
// stand as they are, relative ones lie inside the install directory.
#pragma once

#include <string>

namespace project {

// True for "C:\...", "C:/...", "\...", "/..." and "\\server\...".
// ("C:name", relative to a drive's current directory, is not absolute.)
bool IsAbsolutePath(const std::string& path);

// path itself when empty, absolute, or when installDirectory is empty; else
// installDirectory, one backslash, path.
std::string ResolveProjectPath(const std::string& installDirectory, const std::string& path);

}  // namespace project
