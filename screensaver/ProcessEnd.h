// The one way the process ends at once, for the last-chance guard, the
// watchdog and the end after a thread was given up on.
#pragma once

#include <windows.h>

// Clears the Win9x screen-saver-running state, then ends the process with
// exitCode through TerminateProcess. No library's code runs again: not
// ExitProcess, which would run every library's detach code, the engine's
// included, on whatever a fault or a stuck thread left half done (a lock
// such a thread holds never comes free). Never returns.
[[noreturn]] void EndProcessAtOnce(UINT exitCode);
