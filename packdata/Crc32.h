// The standard CRC-32 of zlib, gzip and PNG (reflected polynomial 0xEDB88320,
// initial value and final exclusive-or all ones), as stored in the data block.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The CRC-32 of size bytes; pass a previous result as crc to continue it.
uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);
