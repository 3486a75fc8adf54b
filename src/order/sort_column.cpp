// Fields of the sorted column found in the rows' block.
#include "order/sort_column.h"

#include <string.h>

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

// The tab after `n` others in [p, end), or null; bytes up to `limit` (at or past end) may be read.
// Sixty-four bytes a step where the line has them: a row is walked for every row sorted, and a
// field far right means a long walk.
const char *nth_tab(const char *p, const char *end, int32_t n, const char *limit) {
#if defined(__SSE2__)
    const __m128i tabs = _mm_set1_epi8('\t');
    while (end - p >= 64) {
        uint64_t mask = bytes_equal(p, tabs) | bytes_equal(p + 16, tabs) << 16 |
                        bytes_equal(p + 32, tabs) << 32 | bytes_equal(p + 48, tabs) << 48;
        int32_t count = bits_set(mask);
        if (count > n) {
            for (; n > 0; --n) mask &= mask - 1;
            return p + __builtin_ctzll(mask);
        }
        n -= count;
        p += 64;
    }
    // The rest sixteen bytes a step, the bytes past the line's end masked off.
    while (p < end && limit - p >= 16) {
        uint64_t mask = bytes_equal(p, tabs);
        if (end - p < 16) mask &= (1u << (end - p)) - 1;
        int32_t count = bits_set(mask);
        if (count > n) {
            for (; n > 0; --n) mask &= mask - 1;
            return p + __builtin_ctzll(mask);
        }
        n -= count;
        p += 16;
    }
#else
    (void)limit;
#endif
    for (; p < end; ++p)
        if (*p == '\t' && n-- == 0) return p;
    return nullptr;
}

// The end of the field at p: its tab or the NUL that ends its row.
const char *field_end(const char *p, const char *limit) {
#if defined(__SSE2__)
    const __m128i tabs = _mm_set1_epi8('\t'), nuls = _mm_setzero_si128();
    for (; limit - p >= 16; p += 16) {
        uint64_t mask = bytes_equal(p, tabs) | bytes_equal(p, nuls);
        if (mask) return p + __builtin_ctzll(mask);
    }
#else
    (void)limit;
#endif
    while (*p != '\t' && *p != '\0') ++p;
    return p;
}

} // namespace

SortColumn sort_column_of(const Viewer *viewer, int32_t col, ColumnKind kind) {
    const char *last = viewer->rows[viewer->row_count - 1];
    return {viewer, col, kind, last + strlen(last)};
}

const char *sort_column_field(const SortColumn *column, int32_t row, size_t *len,
                              uint32_t *offset) {
    const Viewer *v = column->viewer;
    const char *line = v->rows[row];
    const char *end = row + 1 < v->row_count ? v->rows[row + 1] - 1 : column->block_end;
    const char *field = column->col >= 0 ? line : nullptr;
    if (column->col > 0) {
        const char *tab = nth_tab(line, end, column->col - 1, column->block_end);
        field = tab ? tab + 1 : nullptr;
    }
    *offset = static_cast<uint32_t>((field ? field : end) - v->rows[0]);
    if (!field) return nullptr;
    const char *tab = nth_tab(field, end, 0, column->block_end);
    *len = static_cast<size_t>((tab ? tab : end) - field);
    return field;
}

const char *sort_column_field_at(const SortColumn *column, uint32_t offset, size_t *len) {
    const char *field = column->viewer->rows[0] + offset;
    *len = static_cast<size_t>(field_end(field, column->block_end) - field);
    return field;
}
