// Sets of bytes the fast scan compares 16 places with at once: the forms a needle's first and
// last bytes may take.
#pragma once

#include <stdint.h>

// The bytes one place of a match may hold: b is one when (b | mask) equals one of the first
// `count` bytes. A mask of 0x20 takes an ASCII letter's two cases in one compare; the few other
// bytes it lets in only cost a candidate that the check rejects.
struct ByteSet {
    uint8_t bytes[4];
    uint8_t count;
    uint8_t mask;
};

// Whether b is one of the set's bytes.
inline bool byte_in(const ByteSet &set, unsigned char b) {
    b = static_cast<unsigned char>(b | set.mask);
    for (int k = 0; k < set.count; ++k)
        if (b == set.bytes[k]) return true;
    return false;
}
