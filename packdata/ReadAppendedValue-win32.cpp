// Interim: no reader yet.
#include "packdata/ReadAppendedValue.h"

bool ReadAppendedValue(const char*, void*, int) { return false; }
