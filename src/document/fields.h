// Where a row's fields start and end: the one rule every reader of the rows follows (the grid's
// cells, sort, filter and find, the selection's text, Copy as, the value view and the loader).
//
// A row's line is [row_start(r), row_end(r)) (document/rows.h): the bytes after the line feed that
// ends the line before it, up to the line feed that ends it (or the data block's end). Only a line
// feed ends a line. A carriage return before it is the line's last byte, and so the last byte of
// the row's last field: the server writes a CR inside a value as "\r", so a raw one comes from a
// file saved with CR LF line ends, and the viewer shows, copies, finds and sorts it as the byte it
// is, everywhere alike ("\N" followed by it is no NULL but the value "N" and a CR).
//
// Tabs separate the fields: a line holding k tabs has k + 1 fields, the first at the line's start
// and each other just after a tab; an empty line is one empty field. Where the rows are read as
// the one stretch of bytes they lie in (document/rows.h: rows_begin, rows_end), a field is bounded
// on either side by a tab, a line feed or the stretch's end.
//
// Everything here points into the caller's bytes and owns nothing.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Whether the byte ends a field in the rows' stretch: a tab, or the line feed ending its row.
inline bool ends_field(char c) {
    return c == '\t' || c == '\n';
}

// The end of the field starting at `field` on a line ending at `line_end`: its tab, or line_end.
// A vectorised library search; this runs for every cell painted or copied.
inline const char *field_end(const char *field, const char *line_end) {
    const char *tab =
        static_cast<const char *>(memchr(field, '\t', static_cast<size_t>(line_end - field)));
    return tab ? tab : line_end;
}

// Bytes of the field starting at `field` on a line ending at `line_end`.
inline size_t field_length(const char *field, const char *line_end) {
    return static_cast<size_t>(field_end(field, line_end) - field);
}

// The start of the field after one ending at `end` (field_end's answer) on a line ending at
// `line_end`; null when that field was the line's last.
inline const char *field_after(const char *end, const char *line_end) {
    return end < line_end ? end + 1 : nullptr;
}

// The n-th field (n from 0) of the line [line, line_end): its start, with its length in *len;
// null when the line holds fewer than n tabs (or n < 0).
const char *field_at(const char *line, const char *line_end, int32_t n, size_t *len);

// The same field for a reader that walks many rows in an order of its own, as a sort does: its
// start in *field (null when the line holds fewer than n tabs, for n >= 0) and its end in *stop
// (the line's end for a missing field). Bytes up to `limit`, at or past line_end (the rows'
// stretch's end), may be read. Inline (below), as it runs once for every row a sort reads.
inline void field_find(const char *line, const char *line_end, int32_t n, const char *limit,
                       const char **field, const char **stop);

// The end of the field holding p in the rows' stretch: its tab, its row's line feed, or `limit`
// (the stretch's end), whichever comes first. One pass over the field alone, however long its row.
const char *field_stop(const char *p, const char *limit);

// The start of the field holding p in the rows' stretch that begins at `lo`: just after the tab
// or line feed before p, or lo.
inline const char *field_start_back(const char *lo, const char *p) {
    while (p > lo && !ends_field(p[-1])) --p;
    return p;
}

// Which field of the line starting at `line` holds p (a byte of the line, or its end), counted
// up to `most`: a field past it is not counted further, so that a hostile row's length is not
// walked again for each such field.
inline int32_t field_number(const char *line, const char *p, int32_t most) {
    int32_t n = 0;
    for (const char *t = line; n < most; ++n) {
        t = static_cast<const char *>(memchr(t, '\t', static_cast<size_t>(p - t)));
        if (!t) break;
        ++t;
    }
    return n;
}

// Fields of the line [line, line_end), counted up to `most` (at least 1).
inline int32_t field_count(const char *line, const char *line_end, int32_t most) {
    return field_number(line, line_end, most - 1) + 1;
}

// A walk over a line's fields, [next, end) being what is left of it; `next` is null once the line
// has no more fields.
struct FieldWalk {
    const char *next;
    const char *end;
};

// The walk of the line [line, line_end) from its field `first` (0 or more) on; already finished
// when the line has `first` fields or fewer.
inline FieldWalk field_walk(const char *line, const char *line_end, int32_t first) {
    size_t unused = 0;
    return {first > 0 ? field_at(line, line_end, first, &unused) : line, line_end};
}

// The next field's bytes into *field and *len, and true; false when the line has no more fields.
inline bool field_walk_next(FieldWalk *walk, const char **field, size_t *len) {
    const char *start = walk->next;
    if (!start) return false;
    const char *end = field_end(start, walk->end);
    *field = start;
    *len = static_cast<size_t>(end - start);
    walk->next = field_after(end, walk->end);
    return true;
}

// field_find's walk: sixty-four bytes a step where the line has them, since a field far right
// means a long walk for every row sorted; the tab that ends the field comes from the same step's
// bits when it is there.
#if defined(__SSE2__)
// Bits set in a mask, without the library call a popcount becomes on processors not known to have
// the instruction.
inline int32_t field_bits_set(uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int32_t>((x * 0x0101010101010101ull) >> 56);
}

// Which of the 16 bytes at p equal c, as bits.
inline uint64_t field_bytes_equal(const char *p, __m128i c) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    return static_cast<uint64_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, c)));
}
#endif

inline void field_find(const char *p, const char *end, int32_t n, const char *limit,
                       const char **field, const char **stop) {
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
            mask = field_bytes_equal(p, tabs) | field_bytes_equal(p + 16, tabs) << 16 |
                   field_bytes_equal(p + 32, tabs) << 32 | field_bytes_equal(p + 48, tabs) << 48;
            step = 64;
        } else {
            mask = field_bytes_equal(p, tabs);
            if (end - p < 16) mask &= (1u << (end - p)) - 1;
        }
        if (!*field) {
            int32_t count = field_bits_set(mask);
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
