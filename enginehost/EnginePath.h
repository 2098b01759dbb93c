// Where the engine is loaded from: only a full install directory, and the
// search path with its plug-in and support library directories ahead of
// everything else on PATH.
#pragma once

#include <stddef.h>

// True when path names one place whatever the current drive and directory
// are: a drive letter, a colon and a separator (C:\dir), or a network share
// (\\server\share). Either separator, backslash or slash, counts, as it does
// for Windows. Relative (dir, .\dir), root-relative (\dir), drive-relative
// (C:dir, C:), empty and null paths are not full paths, and neither are the
// device namespaces (\\.\ and \\?\), which name no directory to install in.
// A path holding a ';' is refused as well: put on PATH it would split into
// several entries, some of them relative.
bool IsFullPath(const char* path);

// True when directory occurs anywhere in path (a case-sensitive substring,
// even inside a longer entry); then PATH is left as it is. A missing (null)
// path mentions nothing.
bool PathMentions(const char* path, const char* directory);

// Composes <directory>\channels;<directory>\3rd;<oldPath>. A missing (null)
// or empty oldPath gives just the two entries. Returns the size in bytes of
// the result with its terminator; writes it to out only when outSize is at
// least that large, so a first call with no buffer measures.
size_t ComposeEnginePath(const char* directory, const char* oldPath, char* out, size_t outSize);
