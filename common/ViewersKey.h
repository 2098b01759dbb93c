// The registry key under which each installed project is registered, the
// buffer the viewer builds a project's key path in, and the longest key path
// the viewer can open; the packing tool and scripts/package derive the
// longest project name from them.
#pragma once

#include <stddef.h>

const char viewersKey[] = "SOFTWARE\\Velcor\\Ormelix Viewers\\3.00.000";
const int keyPathSize = 264;
// Wine's ANSI registry calls, 32-bit and WoW64 alike, open no key path of
// more than 260 characters (error 234): a longer name is never found.
const size_t longestOpenableKeyPath = 260;
// The key, "\" and the name; the buffer holds that and the terminator.
const size_t longestProjectName = longestOpenableKeyPath - (sizeof viewersKey - 1) - 1;
static_assert(longestOpenableKeyPath < keyPathSize,
              "the key path buffer holds the longest key path");
