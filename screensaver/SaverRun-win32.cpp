// The process's run state (see SaverRun.h), in a file of its own so that
// every program built on the shell, tests included, shares this one.
#include "screensaver/SaverRun.h"

SaverRun saverRun;
