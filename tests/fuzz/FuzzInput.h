// Reads the fuzz bytes front to back as small fields; once the bytes run out
// every field reads as zero, so any input decodes to something.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : at(data), end(data + size) {}

    bool Empty() const { return at == end; }
    uint8_t Byte() { return at < end ? *at++ : 0; }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
    uint32_t Number()
    {
        uint32_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }

private:
    const uint8_t* at;
    const uint8_t* end;
};

// A broken invariant: says which one and aborts, so libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                 \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                                          \
        }                                                                                     \
    } while (0)
