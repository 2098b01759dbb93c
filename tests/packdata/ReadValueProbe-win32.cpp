// Reads one entry of the data block appended to its own file, exactly as the
// viewer does, and prints it: "found TEXT" (exit 0) or "not found" (exit 1).
// Arguments: [ENTRY [SIZE]], "ProjectName" and 259 by default.
#include <stdio.h>
#include <stdlib.h>

#include "packdata/ReadAppendedValue.h"

int main(int argc, char** argv)
{
    const char* entry = argc > 1 ? argv[1] : "ProjectName";
    // Kept small and free of the C++ library: the scan only searches the
    // first 199,980 bytes of the file.
    static char buffer[4096];
    int size = argc > 2 ? atoi(argv[2]) : 259;
    if (size < 0 || size >= static_cast<int>(sizeof buffer)) return 2;
    if (!ReadAppendedValue(entry, buffer, size)) {
        printf("not found\n");
        return 1;
    }
    printf("found %s\n", buffer);
    return 0;
}
