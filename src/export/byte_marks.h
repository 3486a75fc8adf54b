// Tables of the bytes a format must write differently, made at compile time, and the scan for
// the first of them: SSE2 compares of 16 bytes at once where the compiler targets it, one byte at
// a time elsewhere and for the last few bytes.
#pragma once

#include <stddef.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

enum { BYTE_MARKS_LISTED_MAX = 10 };

// marked[b] is 1 for each byte b that needs the format's attention. The same set is kept as the
// scan compares it: the `listed` bytes (listed_count of them, each repeated 16 times so that the
// scan loads it ready to compare), every byte below 0x20 when `controls`, every byte from 0x80 up
// when `high`.
struct ByteMarks {
    unsigned char marked[256];
    char listed[BYTE_MARKS_LISTED_MAX][16];
    int listed_count;
    bool controls;
    bool high;
};

// The bytes of `listed` (a NUL-terminated list of at most BYTE_MARKS_LISTED_MAX), plus every
// control byte below 0x20 when `controls`, plus every byte from 0x80 up when `high`.
constexpr ByteMarks byte_marks(const char *listed, bool controls, bool high) {
    ByteMarks marks{};
    for (const char *p = listed; *p && marks.listed_count < BYTE_MARKS_LISTED_MAX; ++p) {
        marks.marked[static_cast<unsigned char>(*p)] = 1;
        for (int k = 0; k < 16; ++k) marks.listed[marks.listed_count][k] = *p;
        ++marks.listed_count;
    }
    for (int b = 0; b < 256; ++b)
        if ((controls && b < 0x20) || (high && b >= 0x80)) marks.marked[b] = 1;
    marks.controls = controls;
    marks.high = high;
    return marks;
}

// Where the first marked byte of the len bytes at text lies; len when none is marked.
inline size_t first_marked(const ByteMarks &marks, const char *text, size_t len) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= len; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
        __m128i hit = _mm_setzero_si128();
        for (int k = 0; k < marks.listed_count; ++k)
            hit = _mm_or_si128(
                hit, _mm_cmpeq_epi8(
                         x, _mm_loadu_si128(reinterpret_cast<const __m128i *>(marks.listed[k]))));
        if (marks.controls)
            hit = _mm_or_si128(hit, _mm_cmpeq_epi8(_mm_min_epu8(x, _mm_set1_epi8(0x1F)), x));
        int bits = _mm_movemask_epi8(hit);
        if (marks.high) bits |= _mm_movemask_epi8(x);
        if (bits) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(bits)));
    }
#endif
    while (i < len && !marks.marked[static_cast<unsigned char>(text[i])]) ++i;
    return i;
}
