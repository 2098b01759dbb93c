// The last-chance guard. The compiler has no __try/__except, so a top-level
// exception filter stands in for it: it runs where the system's own
// UnhandledExceptionFilter would call it and ends the process there. It must
// never call UnhandledExceptionFilter itself, which would call it again.
#include "shell/LastChanceGuard.h"
#include "shell/SaverShell.h"

namespace {

DWORD guardedThread;

LONG WINAPI EndProcessOnFault(EXCEPTION_POINTERS*)
{
    // Faults of other threads keep the system's default handling; only the
    // thread that runs the mode is guarded.
    if (GetCurrentThreadId() != guardedThread) return EXCEPTION_CONTINUE_SEARCH;
    SetScreenSaverRunning(false);
    ExitProcess(static_cast<UINT>(-1));
}

}  // namespace

int RunUnderLastChanceGuard(int (*body)(const char*), const char* arguments)
{
    guardedThread = GetCurrentThreadId();
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(EndProcessOnFault);
    int result = body(arguments);
    SetUnhandledExceptionFilter(previous);
    return result;
}
