// The shell's last-chance guard: a fault while the chosen mode runs ends the
// process with -1 after the Win9x screen-saver-running state is cleared.
#pragma once

// Runs body(arguments) on the calling thread with the guard in force and
// returns its result. A fault on this thread (window procedures included)
// never comes back: it clears the running state and exits the process with -1.
int RunUnderLastChanceGuard(int (*body)(const char* arguments), const char* arguments);
