// Builds the drive-letter channel's text from a logical-drive mask.
#include "DriveText.h"

int BuildDriveText(uint32_t driveMask, char* out)
{
    int length = 0;
    for (int bit = 0; bit < 32; ++bit) {
        if (driveMask & (uint32_t{1} << bit)) {
            out[length++] = static_cast<char>('A' + bit);
            out[length++] = ';';
        }
    }
    out[length] = '\0';
    return length;
}
