// Fields of the sorted column found in the rows' block.
#include "order/sort_column.h"

#include "grid/cells.h"

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

// The field after `n` tabs in the line [p, end): its start in *field (null when the line has
// fewer tabs) and its end, the next tab or the line's end, in *stop; bytes up to `limit` (at or
// past end) may be read. Sixty-four bytes a step where the line has them, since a row is walked
// for every row sorted, and a field far right means a long walk; the tab that ends the field
// comes from the same step's bits when it is there.
void find_field(const char *p, const char *end, int32_t n, const char *limit, const char **field,
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

} // namespace

SortColumn sort_column_of(const Viewer *viewer, int32_t col, ColumnKind kind) {
    const char *end = rows_end(viewer);
    const bool by_row = static_cast<uint64_t>(end - rows_begin(viewer)) > UINT32_MAX;
    return {viewer, col, kind, end, by_row};
}

const char *sort_column_field(const SortColumn *column, int32_t row, size_t *len,
                              uint32_t *offset) {
    const Viewer *v = column->viewer;
    RowLine line = row_line(v, row);
    const char *field = nullptr, *stop = line.end;
    if (column->col >= 0)
        find_field(line.start, line.end, column->col, column->block_end, &field, &stop);
    *offset = column->by_row ? static_cast<uint32_t>(row)
                             : static_cast<uint32_t>((field ? field : line.end) - rows_begin(v));
    *len = static_cast<size_t>(stop - (field ? field : stop));
    return field;
}

const char *sort_column_field_at(const SortColumn *column, uint32_t offset, size_t *len) {
    if (column->by_row) {
        uint32_t unused;
        return sort_column_field(column, static_cast<int32_t>(offset), len, &unused);
    }
    const char *field = rows_begin(column->viewer) + offset;
    *len = static_cast<size_t>(field_stop(field, column->block_end) - field);
    return field;
}
