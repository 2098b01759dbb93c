// The one way into the data block appended to the viewer's executable.
#pragma once

#include "common/BoundedText.h"

// Reads size bytes of the entry of that name (group "APPDATA", any letter
// case) into buffer; false when the block or the entry is missing.
bool ReadAppendedValue(const char* entryName, void* buffer, int size);

// The "ProjectName" entry, at most textLimit characters. The block is read on
// the first call only (opening the file and perhaps scanning it, with boxes
// for its failures); later calls give the same answer, so the engine binding
// and the project start share one read. On false the system error of that
// read is current again.
bool ReadProjectName(char (&name)[textSize]);
