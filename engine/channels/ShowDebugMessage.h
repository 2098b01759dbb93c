// The engine's debug-message functor: channels send it two texts (a label and
// a value) and the engine passes them on to its debug output.
#pragma once

#include "engine/channels/DrovikExport.h"

class DROVIK_API ShowDebugMessage {
public:
    // Writes first and second, joined, as one line to the engine trace
    // (operation "ShowDebugMessage") and to the debugger output. A null text
    // counts as empty.
    void operator()(const char* first, const char* second) const;
};
