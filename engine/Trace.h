// The engine's call trace: when the environment variable ORMELIX_ENGINE_TRACE
// names a file (a Windows path), every call the engine receives, and every
// debug message it is sent, is appended to that file as one line
// "<ms since the library was loaded> <operation> <arguments>".
#pragma once

#include <windows.h>

// Appends one trace line; format and the arguments after it are printf-style
// and describe the call's arguments (may be empty). Does nothing when the
// variable is unset. Safe from any thread: each line is written whole.
void EngineTrace(const char* operation, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// A call without arguments.
inline void EngineTrace(const char* operation) { EngineTrace(operation, "%s", ""); }

// A GUID in the form the traces and channel file names use: upper-case
// hexadecimal without braces, e.g. 5A0F3D72-E914-4C6B-9D28-71B4C0E6A3F5.
struct GuidText {
    char text[37];
};
GuidText FormatGuid(const GUID& guid);
