// The engine's debug output for channels: the trace file and the debugger.
#include "engine/channels/ShowDebugMessage.h"

#include <windows.h>
#include <stdio.h>

#include "engine/Trace.h"

void ShowDebugMessage::operator()(const char* first, const char* second) const
{
    if (!first) first = "";
    if (!second) second = "";
    EngineTrace("ShowDebugMessage", "%s%s", first, second);
    char line[512];
    snprintf(line, sizeof line, "%s%s\n", first, second);
    OutputDebugStringA(line);
}
