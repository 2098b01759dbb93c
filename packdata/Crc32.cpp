// The standard CRC-32 (see Crc32.h), bit by bit: the block's data is small,
// so a table would cost more than it saves.
#include "packdata/Crc32.h"

uint32_t Crc32(const void* data, size_t size, uint32_t crc)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}
