// Tables of the bytes a format must write differently, made at compile time.
#pragma once

#include <stddef.h>

// marked[b] is 1 for each byte b that needs the format's attention.
struct ByteMarks {
    unsigned char marked[256];
};

// The bytes of `listed` (a NUL-terminated list), plus every control byte below 0x20 when
// `controls`, plus every byte from 0x80 up when `high`.
constexpr ByteMarks byte_marks(const char *listed, bool controls, bool high) {
    ByteMarks marks{};
    for (const char *p = listed; *p; ++p) marks.marked[static_cast<unsigned char>(*p)] = 1;
    for (int b = 0; b < 256; ++b)
        if ((controls && b < 0x20) || (high && b >= 0x80)) marks.marked[b] = 1;
    return marks;
}

// Where the first marked byte of the len bytes at text lies; len when none is marked.
inline size_t first_marked(const ByteMarks &marks, const char *text, size_t len) {
    size_t i = 0;
    while (i < len && !marks.marked[static_cast<unsigned char>(text[i])]) ++i;
    return i;
}
