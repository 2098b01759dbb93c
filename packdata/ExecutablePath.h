// The path of the viewer's own executable, taken from its command line.
#pragma once

// Copies the command line (at most its first textLimit characters) to path without
// its double quotes, ending after the first ".scr" (any case) whose full stop
// is not the first character; without one, the whole line. path holds textSize bytes.
void ExecutablePathFromCommandLine(const char* commandLine, char* path);
