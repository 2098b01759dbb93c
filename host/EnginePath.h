// The search path the engine needs: its plug-in directory and its support
// library directory ahead of everything else on PATH.
#pragma once

#include <stddef.h>

// True when directory occurs anywhere in path (a case-sensitive substring,
// even inside a longer entry); then PATH is left as it is. A missing (null)
// path mentions nothing.
bool PathMentions(const char* path, const char* directory);

// Composes <directory>\channels;<directory>\3rd;<oldPath>. A missing (null)
// or empty oldPath gives just the two entries. Returns the size in bytes of
// the result with its terminator; writes it to out only when outSize is at
// least that large, so a first call with no buffer measures.
size_t ComposeEnginePath(const char* directory, const char* oldPath, char* out, size_t outSize);
