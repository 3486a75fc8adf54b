// Grid search in the order the grid shows: the data block's scan in file order when the rows show
// so, otherwise the rows holding a match found by one scan, then walked in the shown order.
#include "find/find.h"

#include "base/mem.h"
#include "base/stop.h"
#include "find/grid_scan.h"
#include "document/fields.h"
#include "grid/shown_rows.h"

#include <string.h>

namespace {

int32_t clamp(int32_t x, int32_t lo, int32_t hi) {
    return x < lo ? lo : x > hi ? hi : x;
}

// The first (with `last`, the last) column in [c0, c1] of a row line whose cell holds the needle;
// -1 for none.
int32_t cell_in_row(const Needle *needle, RowLine line, int32_t c0, int32_t c1, bool last) {
    int32_t found = -1;
    FieldWalk walk = field_walk(line.start, line.end, c0);
    const char *field = nullptr;
    size_t len = 0;
    for (int32_t c = c0; c <= c1 && field_walk_next(&walk, &field, &len); ++c) {
        if (grid_cell_holds(needle, field, len)) {
            found = c;
            if (!last) break;
        }
    }
    return found;
}

// A walk over the grid's rows as shown, with the rows that hold a match known beforehand (`bits`;
// null when its memory could not be had, and then every row is looked at).
struct ShownWalk {
    const Viewer *viewer;
    const Needle *needle;
    const uint8_t *bits;
    FindDir dir;
};

// The hit in shown row r among columns [c0, c1], the nearest to the walk's start.
bool try_row(const ShownWalk *w, int32_t r, int32_t c0, int32_t c1, GridHit *hit) {
    if (c0 > c1) return false;
    int32_t f = shown_file_row(w->viewer, r);
    if (w->bits && !(w->bits[f / 8] & (1u << (f % 8)))) return false;
    int32_t c = cell_in_row(w->needle, row_line(w->viewer, f), c0, c1, w->dir == FIND_PREV);
    if (c < 0) return false;
    *hit = {r, c, 0};
    return true;
}

// Rows r + step, r + 2 step, ... up to (not including) `end`, whole.
bool try_rows(const ShownWalk *w, int32_t from, int32_t end, GridHit *hit) {
    const int32_t step = w->dir == FIND_NEXT ? 1 : -1, last_col = w->viewer->col_count - 1;
    for (int32_t r = from; r != end; r += step) {
        if (try_row(w, r, 0, last_col, hit)) return true;
        if ((r - from) % static_cast<int32_t>(STOP_ROWS) == 0 && stop_asked()) return false;
    }
    return false;
}

int find_in_shown_order(const Viewer *viewer, const Needle *needle, int32_t row, int32_t col,
                        FindDir dir, GridHit *hit) {
    const int32_t n = shown_row_count(viewer), last_col = viewer->col_count - 1;
    size_t bytes = (static_cast<size_t>(viewer->row_count) + 7) / 8;
    uint8_t *bits = static_cast<uint8_t *>(mem_alloc(bytes));
    if (bits) {
        memset(bits, 0, bytes);
        grid_scan_rows(viewer, needle, bits);
    }
    ShownWalk w = {viewer, needle, bits, dir};
    bool found, wrapped = false;
    if (dir == FIND_NEXT) {
        found = try_row(&w, row, col + 1, last_col, hit) || try_rows(&w, row + 1, n, hit);
        if (!found) {
            wrapped = true;
            found = try_rows(&w, 0, row, hit) || try_row(&w, row, 0, col, hit);
        }
    } else {
        found = try_row(&w, row, 0, col - 1, hit) || try_rows(&w, row - 1, -1, hit);
        if (!found) {
            wrapped = true;
            found = try_rows(&w, n - 1, row, hit) || try_row(&w, row, col, last_col, hit);
        }
    }
    mem_free(bits);
    if (found) hit->wrapped = wrapped;
    return found;
}

} // namespace

int grid_find(const Viewer *viewer, const Needle *needle, int32_t row, int32_t col, FindDir dir,
              GridHit *hit) {
    if (!viewer->order.shown) return grid_scan_find(viewer, needle, row, col, dir, hit);
    if (needle->char_count <= 0 || needle->tab || shown_row_count(viewer) <= 0 ||
        viewer->col_count <= 0)
        return 0;
    row = clamp(row, 0, shown_row_count(viewer) - 1);
    col = clamp(col, 0, viewer->col_count - 1);
    return find_in_shown_order(viewer, needle, row, col, dir, hit);
}
