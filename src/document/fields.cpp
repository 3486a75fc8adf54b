// The fields' extent: library searches for a field near the line's start, SSE2 walks where a
// field lies far along its line or its end must be found without knowing the line's.
#include "document/fields.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

#if defined(__SSE2__)
// Bits set in a mask, without the library call a popcount becomes on processors not known to have
// the instruction.
inline int32_t bits_set(uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int32_t>((x * 0x0101010101010101ull) >> 56);
}

// Which of the 16 bytes at p equal c, as bits.
inline uint64_t bytes_equal(const char *p, __m128i c) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    return static_cast<uint64_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, c)));
}
#endif

} // namespace

const char *field_at(const char *line, const char *line_end, int32_t n, size_t *len) {
    if (n < 0) return nullptr;
    const char *p = line;
    for (int32_t i = 0; i < n; ++i) {
        p = static_cast<const char *>(memchr(p, '\t', static_cast<size_t>(line_end - p)));
        if (!p) return nullptr;
        ++p;
    }
    *len = field_length(p, line_end);
    return p;
}

// Sixty-four bytes a step where the line has them, since a row is walked for every row sorted, and
// a field far right means a long walk; the tab that ends the field comes from the same step's bits
// when it is there.
void field_find(const char *p, const char *end, int32_t n, const char *limit, const char **field,
                const char **stop) {
    *field = n == 0 ? p : nullptr;
    *stop = end;
#if defined(__SSE2__)
    const __m128i tabs = _mm_set1_epi8('\t');
    // Tabs still to pass before the one that starts the field.
    int32_t left = n - 1;
    while (p < end && limit - p >= 16) {
        uint64_t mask;
        int step = 16;
        if (end - p >= 64) {
            mask = bytes_equal(p, tabs) | bytes_equal(p + 16, tabs) << 16 |
                   bytes_equal(p + 32, tabs) << 32 | bytes_equal(p + 48, tabs) << 48;
            step = 64;
        } else {
            mask = bytes_equal(p, tabs);
            if (end - p < 16) mask &= (1u << (end - p)) - 1;
        }
        if (!*field) {
            int32_t count = bits_set(mask);
            if (count <= left) {
                left -= count;
                p += step;
                continue;
            }
            for (; left > 0; --left) mask &= mask - 1;
            *field = p + __builtin_ctzll(mask) + 1;
            mask &= mask - 1;
        }
        if (mask) {
            *stop = p + __builtin_ctzll(mask);
            return;
        }
        p += step;
    }
    if (p > end) p = end;
#else
    (void)limit;
    int32_t left = n - 1;
#endif
    for (; p < end; ++p) {
        if (*p != '\t') continue;
        if (*field) {
            *stop = p;
            return;
        }
        if (left-- == 0) *field = p + 1;
    }
}

const char *field_stop(const char *p, const char *limit) {
#if defined(__SSE2__)
    const __m128i tabs = _mm_set1_epi8('\t'), line_feeds = _mm_set1_epi8('\n');
    for (; limit - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int mask = _mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, tabs), _mm_cmpeq_epi8(bytes, line_feeds)));
        if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    while (p < limit && !ends_field(*p)) ++p;
    return p;
}
