// The grid's scan: the fast scan over the data block's bytes, each stop mapped back to its field,
// and only the fields that can hold a match decoded.
#include "find/grid_scan.h"
#include "base/stop.h"

#include "find/find_scan.h"
#include "document/rows.h"
#include "document/copy_escapes.h"
#include "document/fields.h"
#include "grid/selection_text.h"

#include <string.h>

namespace {

// The rows lie one after another in the file, so the data block is one stretch of bytes from the
// first row's start to the last row's end, the rows' line feeds between them (document/rows.h),
// and reading order is byte order; document/fields.h says where each field lies in it.
struct Grid {
    const Viewer *viewer;
    const Needle *needle;
    ScanArea area;         // the rows' stretch
    const char *block_end; // the last row's end
    bool undecoded_filter; // escaped_field may judge a field by its raw bytes
};

// What Ctrl+C copies of a cell: the first CELL_SCRATCH - 1 raw bytes, decoded.
const size_t CELL_CUT = CELL_SCRATCH - 1;

bool cell_holds(const Needle *needle, const char *start, const char *end) {
    return grid_cell_holds(needle, start, static_cast<size_t>(end - start));
}

// The start of the field holding p.
const char *field_start(const Grid *g, const char *p) {
    return field_start_back(g->area.lo, p);
}

// The end of the field holding p.
const char *field_end(const Grid *g, const char *p) {
    return field_stop(p, g->block_end);
}

// The row holding p: the last one starting at or before it.
int32_t row_of(const Viewer *v, const char *p) {
    int32_t lo = 0, hi = v->row_count - 1;
    while (lo < hi) {
        int32_t mid = lo + (hi - lo + 1) / 2;
        if (row_start(v, mid) <= p)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

// The column of the field holding p in row r, counted up to col_count (a larger column is no
// cell).
int32_t column_of(const Viewer *v, int32_t r, const char *p) {
    return field_number(row_start(v, r), p, v->col_count);
}

// Where row r's cells end: the tab after column col_count - 1, or the row's end.
const char *cells_end(const Grid *g, int32_t r) {
    size_t unused = 0;
    RowLine line = row_line(g->viewer, r);
    const char *beyond = field_at(line.start, line.end, g->viewer->col_count, &unused);
    return beyond ? beyond - 1 : line.end;
}

// What a stop tells about the field it lies in.
enum Outcome {
    PAST_CUT,   // a match starts here but ends past the copied part of the field
    CELL_HOLDS, // the cell holds the needle
    CELL_LACKS, // the field was decoded whole and does not hold it
};

struct Verdict {
    Outcome outcome;
    const char *start, *end; // the field
};

// Whether n bytes hold a form of the needle's first byte and one of its last byte. Most needles
// have one byte in each set, and then each byte costs two compares and no branch.
bool holds_end_bytes(const Needle *needle, const char *p, size_t n) {
    const ByteSet &first = needle->first, &last = needle->last;
    unsigned char has_first = 0, has_last = 0;
    if (first.count == 1 && last.count == 1) {
        for (size_t i = 0; i < n; ++i) {
            unsigned char b = static_cast<unsigned char>(p[i]);
            has_first |= (b | first.mask) == first.bytes[0];
            has_last |= (b | last.mask) == last.bytes[0];
        }
    } else {
        for (size_t i = 0; i < n; ++i) {
            has_first |= byte_in(first, static_cast<unsigned char>(p[i]));
            has_last |= byte_in(last, static_cast<unsigned char>(p[i]));
        }
    }
    return has_first && has_last;
}

// The verdict on the field around the backslash at q. Decoding only drops bytes, but for "\t",
// which gives a blank: unless the needle begins or ends with a blank, a field lacking every form
// of its first or of its last byte cannot hold it, and most escaped fields are passed over without
// being decoded.
Verdict escaped_field(const Grid *g, const char *q) {
    const char *start = field_start(g, q), *end = field_end(g, q);
    if (g->undecoded_filter && !holds_end_bytes(g->needle, start, static_cast<size_t>(end - start)))
        return {CELL_LACKS, start, end};
    return {cell_holds(g->needle, start, end) ? CELL_HOLDS : CELL_LACKS, start, end};
}

// A stop is a backslash or a match of the raw bytes.
Verdict judge_stop(const Grid *g, const char *q) {
    if (*q == '\\') return escaped_field(g, q);
    const size_t m = static_cast<size_t>(g->needle->len);
    const char *start = field_start(g, q), *end = field_end(g, q);
    // A raw match counts as it stands when no backslash comes before its end in the field: the
    // copied text starts with the same bytes up to the field's first backslash.
    if (!memchr(start, '\\', static_cast<size_t>(q + m - start)))
        return {static_cast<size_t>(q + m - start) <= CELL_CUT ? CELL_HOLDS : PAST_CUT, start, end};
    return {cell_holds(g->needle, start, end) ? CELL_HOLDS : CELL_LACKS, start, end};
}

// The cell of a stop in a field that holds the needle, into *hit; false, leaving *hit alone, when
// its column is no grid cell.
bool cell_of(const Grid *g, const char *q, GridHit *hit, int32_t *row) {
    *row = row_of(g->viewer, q);
    int32_t col = column_of(g->viewer, *row, q);
    if (col >= g->viewer->col_count) return false;
    *hit = {*row, col, 0};
    return true;
}

// Whether a walk of stops has gone STOP_BYTES past where it last looked at the stop flag, and the
// flag is set. The scan looks within a stretch, but a walk whose stops come every few kilobytes
// (fields with escapes, which are judged one by one) begins a new stretch at each of them.
bool stopped_since(const char **looked, const char *now) {
    const ptrdiff_t gone = now > *looked ? now - *looked : *looked - now;
    if (gone < static_cast<ptrdiff_t>(STOP_BYTES)) return false;
    *looked = now;
    return stop_asked();
}

// The first cell holding the needle among the fields in [lo, hi), both field boundaries.
bool forward(const Grid *g, const char *lo, const char *hi, GridHit *hit) {
    const char *p = lo, *looked = lo;
    while (p < hi) {
        if (stopped_since(&looked, p)) return false;
        const char *q = scan_next(g->needle, &g->area, p, hi);
        if (q == hi) return false;
        Verdict v = judge_stop(g, q);
        int32_t r = 0;
        if (v.outcome != CELL_HOLDS)
            p = v.end;
        else if (cell_of(g, q, hit, &r))
            return true;
        else // the rest of the row holds no cells
            p = r + 1 < g->viewer->row_count ? row_start(g->viewer, r + 1) : hi;
    }
    return false;
}

// The last cell holding the needle among the fields in [lo, hi), both field boundaries.
bool backward(const Grid *g, const char *lo, const char *hi, GridHit *hit) {
    const char *top = hi, *looked = hi;
    while (top > lo) {
        if (stopped_since(&looked, top)) return false;
        const char *q = scan_prev(g->needle, &g->area, lo, top);
        if (!q) return false;
        Verdict v = judge_stop(g, q);
        int32_t r = 0;
        if (v.outcome == PAST_CUT) {
            // A match nearer the field's start may still lie within the copied part.
            const char *last_start = v.start + CELL_CUT - g->needle->len;
            top = last_start + 1 < q ? last_start + 1 : q;
        } else if (v.outcome == CELL_LACKS) {
            top = v.start;
        } else if (cell_of(g, q, hit, &r)) {
            return true;
        } else {
            top = cells_end(g, r);
        }
    }
    return false;
}

// The exact path for needles holding U+FFFD: every cell of the fields in [lo, hi) decoded in
// reading order. Gives the first cell holding the needle, or with `last` the last one.
bool each_cell(const Grid *g, const char *lo, const char *hi, bool last, GridHit *hit) {
    const Viewer *v = g->viewer;
    if (lo >= hi) return false;
    int32_t r = row_of(v, lo);
    int32_t col = column_of(v, r, lo);
    bool found = false;
    unsigned looked = 0;
    for (const char *p = lo; p < hi;) {
        if (++looked % STOP_ROWS == 0 && stop_asked()) return false;
        if (col >= v->col_count) {
            if (++r >= v->row_count) break;
            p = row_start(v, r);
            col = 0;
            continue;
        }
        const char *end = field_end(g, p);
        if (cell_holds(g->needle, p, end)) {
            *hit = {r, col, 0};
            found = true;
            if (!last) break;
        }
        if (end < g->block_end && *end == '\t') {
            ++col;
        } else {
            ++r;
            col = 0;
        }
        p = end + 1;
    }
    return found;
}

bool search(const Grid *g, const char *lo, const char *hi, FindDir dir, GridHit *hit) {
    if (g->needle->replacement) return each_cell(g, lo, hi, dir == FIND_PREV, hit);
    return dir == FIND_NEXT ? forward(g, lo, hi, hit) : backward(g, lo, hi, hit);
}

int32_t clamp(int32_t x, int32_t lo, int32_t hi) {
    return x < lo ? lo : x > hi ? hi : x;
}

// Sets the start row's bit and returns the row after it: where the next row's search begins.
const char *mark_row(const Grid *g, int32_t r, uint8_t *bits, int32_t *count) {
    bits[r / 8] = static_cast<uint8_t>(bits[r / 8] | (1u << (r % 8)));
    ++*count;
    return r + 1 < g->viewer->row_count ? row_start(g->viewer, r + 1) : g->block_end;
}

} // namespace

bool grid_cell_holds(const Needle *needle, const char *field, size_t len) {
    if (field_is_null(field, len)) return false;
    if (len > CELL_CUT) len = CELL_CUT;
    if (!memchr(field, '\\', len)) return text_holds(needle, field, len);
    char decoded[CELL_SCRATCH];
    return text_holds(needle, decoded, unescape_cell(field, len, decoded));
}

int32_t grid_scan_rows(const Viewer *viewer, const Needle *needle, uint8_t *bits) {
    if (needle->char_count <= 0 || needle->tab || viewer->row_count <= 0 || viewer->col_count <= 0)
        return 0;
    Grid g = {viewer, needle, {}, rows_end(viewer), false};
    g.undecoded_filter =
        !needle->replacement && !byte_in(needle->first, ' ') && !byte_in(needle->last, ' ');
    g.area = {rows_begin(viewer), g.block_end, 1};
    int32_t count = 0;
    GridHit hit;
    const char *looked = rows_begin(viewer);
    for (const char *p = rows_begin(viewer); p < g.block_end;) {
        if (stopped_since(&looked, p)) break;
        if (!search(&g, p, g.block_end, FIND_NEXT, &hit)) break;
        p = mark_row(&g, hit.row, bits, &count);
    }
    return count;
}

int grid_scan_find(const Viewer *viewer, const Needle *needle, int32_t row, int32_t col,
                   FindDir dir, GridHit *hit) {
    if (needle->char_count <= 0 || needle->tab || viewer->row_count <= 0 || viewer->col_count <= 0)
        return 0;
    row = clamp(row, 0, viewer->row_count - 1);
    col = clamp(col, 0, viewer->col_count - 1);
    Grid g = {viewer, needle, {}, rows_end(viewer), false};
    g.undecoded_filter =
        !needle->replacement && !byte_in(needle->first, ' ') && !byte_in(needle->last, ' ');
    g.area = {rows_begin(viewer), g.block_end, 1};

    // The given cell's field [start, end); a row lacking it holds nothing after its last field,
    // so its end stands in for both.
    size_t len = 0;
    RowLine line = row_line(viewer, row);
    const char *start = field_at(line.start, line.end, col, &len);
    const char *end = start ? start + len : nullptr;
    if (!start) start = end = line.end;

    // First the cells after the given one up to the grid's end (before it, back to the start),
    // then round from the other end up to the given cell itself.
    const char *first = rows_begin(viewer);
    const char *after = end < g.block_end ? end + 1 : g.block_end;
    const bool next = dir == FIND_NEXT;
    if (search(&g, next ? after : first, next ? g.block_end : start, dir, hit)) return 1;
    if (search(&g, next ? first : start, next ? end : g.block_end, dir, hit)) {
        hit->wrapped = 1;
        return 1;
    }
    return 0;
}
