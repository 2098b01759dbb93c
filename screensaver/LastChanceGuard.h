// The shell's last-chance guard: a fault while the chosen mode runs ends the
// process with -1 after the Win9x screen-saver-running state is cleared.
#pragma once

// Runs body(arguments) on the calling thread with the guard in force and
// returns its result. A fault meanwhile on any thread of the process (window
// procedures and the frame thread included) never comes back: it clears the
// running state and ends the process with -1.
int RunUnderLastChanceGuard(int (*body)(const char* arguments), const char* arguments);
