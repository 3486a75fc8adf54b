// Copies of a few bytes without a library call: most values in a copy are shorter than 16 bytes,
// and a call to memcpy per value and separator would cost more than the bytes.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

// Copies n bytes from src to dst (no overlap), reading and writing only those n bytes: up to 16
// of them as two overlapping loads and stores of the largest width that fits, more by memcpy.
inline void short_copy(char *dst, const char *src, size_t n) {
    if (n >= 8 && n <= 16) {
        uint64_t head, tail;
        memcpy(&head, src, 8);
        memcpy(&tail, src + n - 8, 8);
        memcpy(dst, &head, 8);
        memcpy(dst + n - 8, &tail, 8);
    } else if (n >= 4 && n < 8) {
        uint32_t head, tail;
        memcpy(&head, src, 4);
        memcpy(&tail, src + n - 4, 4);
        memcpy(dst, &head, 4);
        memcpy(dst + n - 4, &tail, 4);
    } else if (n < 4) {
        for (size_t i = 0; i < n; ++i) dst[i] = src[i];
    } else {
        memcpy(dst, src, n);
    }
}
