// The last-chance guard. The compiler has no __try/__except, so a top-level
// exception filter stands in for it: it runs where the system's own
// UnhandledExceptionFilter would call it and ends the process there. It must
// never call UnhandledExceptionFilter itself, which would call it again.
#include "screensaver/LastChanceGuard.h"
#include "screensaver/ProcessEnd.h"

namespace {

// Runs on whichever thread faulted: the frame thread faults inside the
// engine as readily as the thread that runs the mode.
LONG WINAPI EndProcessOnFault(EXCEPTION_POINTERS*) { EndProcessAtOnce(static_cast<UINT>(-1)); }

}  // namespace

int RunUnderLastChanceGuard(int (*body)(const char*), const char* arguments)
{
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(EndProcessOnFault);
    int result = body(arguments);
    SetUnhandledExceptionFilter(previous);
    return result;
}
