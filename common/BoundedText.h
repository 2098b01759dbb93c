// Bounded text helpers for the viewer's fixed-size name, directory and path
// buffers: they never write past a buffer and say when a text does not fit.
#pragma once

#include <stddef.h>

// The size of every name, directory and path buffer of the viewer (MAX_PATH):
// at most textLimit characters and their terminator.
constexpr int textSize = 260;
constexpr int textLimit = textSize - 1;

// Writes directory + "\" + name into out; false (out left empty) when the
// result and its terminator do not fit in outSize bytes.
bool JoinPath(char* out, size_t outSize, const char* directory, const char* name);

// Copies at most outSize - 1 characters of source into out and terminates
// it; a longer text is cut. Nothing is written when outSize is 0.
void CopyText(char* out, size_t outSize, const char* source);
