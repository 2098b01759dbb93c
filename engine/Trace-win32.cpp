// Writes the engine's call trace (see Trace.h). The file is opened for
// append with full sharing for every line, so tests may read or remove it at
// any time and lines from several threads or processes never interleave.
#include "Trace.h"

#include <stdarg.h>
#include <stdio.h>

namespace {

// The performance counter when the library was loaded; trace times count
// from here. Finer than GetTickCount, whose steps can be 16 ms.
LARGE_INTEGER Counter()
{
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return value;
}
const LARGE_INTEGER libraryLoadCounter = Counter();

unsigned long MillisecondsSinceLoad()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<unsigned long>((Counter().QuadPart - libraryLoadCounter.QuadPart) * 1000 /
                                      frequency.QuadPart);
}

const char traceVariable[] = "ORMELIX_ENGINE_TRACE";

void AppendLine(const char* path, const char* line, DWORD length)
{
    // FILE_APPEND_DATA alone makes every write land at the current end of
    // the file, even when another handle appended in between.
    HANDLE file =
        CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, length, &written, nullptr);
    CloseHandle(file);
}

}  // namespace

void EngineTrace(const char* operation, const char* format, ...)
{
    char path[MAX_PATH];
    DWORD pathLength = GetEnvironmentVariableA(traceVariable, path, sizeof path);
    if (pathLength == 0 || pathLength >= sizeof path) return;

    char line[1024];
    int used = snprintf(line, sizeof line, "%lu %s", MillisecondsSinceLoad(), operation);
    if (used < 0) return;
    va_list arguments;
    va_start(arguments, format);
    char details[sizeof line];
    int detailLength = vsnprintf(details, sizeof details, format, arguments);
    va_end(arguments);
    if (detailLength > 0) used += snprintf(line + used, sizeof line - used, " %s", details);
    // A line too long for the buffer is cut, but still ends the line.
    if (used > static_cast<int>(sizeof line) - 3) used = sizeof line - 3;
    line[used++] = '\r';
    line[used++] = '\n';
    AppendLine(path, line, static_cast<DWORD>(used));
}

GuidText FormatGuid(const GUID& guid)
{
    GuidText result;
    snprintf(result.text, sizeof result.text, "%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
             static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
             guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
             guid.Data4[6], guid.Data4[7]);
    return result;
}
