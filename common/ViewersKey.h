// The registry key under which each installed project is registered, and the
// buffer the viewer builds a project's key path in; the packing tool derives
// the longest project name from them.
#pragma once

#include <stddef.h>

const char viewersKey[] = "SOFTWARE\\Velcor\\Ormelix Viewers\\3.00.000";
const int keyPathSize = 264;
// The key, "\", the name and the terminator fill keyPathSize at most.
const size_t longestProjectName = keyPathSize - sizeof viewersKey - 1;
