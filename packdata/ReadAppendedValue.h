// The one way into the data block appended to the viewer's executable.
#pragma once

// Reads size bytes of the entry of that name (group "APPDATA", any letter
// case) into buffer; false when the block or the entry is missing.
bool ReadAppendedValue(const char* entryName, void* buffer, int size);
