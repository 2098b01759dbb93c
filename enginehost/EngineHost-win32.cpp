// The engine host's state (see EngineHost.h), in a file of its own so that
// the program and the tests that build the host's files share this one.
#include "enginehost/EngineHost.h"

EngineHost engineHost;
