// Bounded text helpers for the viewer's fixed-size path and name buffers:
// they never write past a buffer and say when a text does not fit.
#pragma once

#include <stddef.h>

// Writes directory + "\" + name into out; false (out left empty) when the
// result and its terminator do not fit in outSize bytes.
bool JoinPath(char* out, size_t outSize, const char* directory, const char* name);

// Copies at most maxChars characters of source into out. A shorter text is
// terminated; a text of maxChars or more is cut without writing out[maxChars],
// which the caller keeps as the terminator.
void CopyText(char* out, const char* source, size_t maxChars);
