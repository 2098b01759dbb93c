// The process's end at once (see ProcessEnd.h).
#include "screensaver/ProcessEnd.h"

#include "screensaver/SaverShell.h"

void EndProcessAtOnce(UINT exitCode)
{
    SetScreenSaverRunning(false);
    TerminateProcess(GetCurrentProcess(), exitCode);
    // TerminateProcess of the own process does not come back; should it
    // fail, the process still must not go on.
    for (;;) Sleep(INFINITE);
}
