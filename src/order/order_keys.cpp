// Ordering rows by several keys: the first key's sort, then each run of rows equal so far sorted
// by the next key.
#include "order/order.h"

#include "base/stop.h"
#include "order/neighbours.h"
#include "order/sort_column.h"

#include <string.h>

namespace {

// Runs this short are put in order by comparing their fields, which costs less than a sort's
// working memory and passes.
const int32_t SMALL_RUN = 12;

struct Keys {
    const Viewer *viewer;
    const OrderKey *keys;
    const ColumnKind *kinds;
    int nkeys;
};

// How rows a and b compare by keys[from ..]: negative when a comes first.
int compare_from(const Keys &k, int from, int32_t a, int32_t b) {
    for (int i = from; i < k.nkeys; ++i) {
        SortColumn column = sort_column_of(k.viewer, k.keys[i].col, k.kinds[i]);
        size_t alen = 0, blen = 0;
        uint32_t offset;
        const char *x = sort_column_field(&column, a, &alen, &offset);
        const char *y = sort_column_field(&column, b, &blen, &offset);
        int c = order_compare_fields(k.kinds[i], x, alen, y, blen);
        if (c != 0) return k.keys[i].dir == SORT_DESC ? -c : c;
    }
    return 0;
}

// A run in file order, put in order by keys[from ..] by insertion, which keeps equal rows in file
// order.
void insertion_by(const Keys &k, int from, int32_t *rows, int32_t n) {
    for (int32_t i = 1; i < n; ++i) {
        int32_t x = rows[i], j = i;
        for (; j > 0 && compare_from(k, from, x, rows[j - 1]) < 0; --j) rows[j] = rows[j - 1];
        rows[j] = x;
    }
}

int order_runs(const Keys &k, int level, int32_t *rows, int32_t n);

// Rows equal in keys[0 .. level - 1] and so in file order, put in order by keys[level ..].
int order_run(const Keys &k, int level, int32_t *rows, int32_t n) {
    if (n <= 1) return 1;
    if (n <= SMALL_RUN) {
        insertion_by(k, level, rows, n);
        return 1;
    }
    const OrderKey key = k.keys[level];
    if (!order_rows(k.viewer, key.col, k.kinds[level], rows, n, rows)) return 0;
    if (key.dir == SORT_DESC && !order_descending(k.viewer, key.col, k.kinds[level], rows, n))
        return 0;
    return level + 1 < k.nkeys ? order_runs(k, level, rows, n) : 1;
}

// Rows in order by keys[0 .. level], equal in the keys before it: each run of equal values of
// keys[level] put in order by the keys after it. Ties keep file order in any order, so each run is
// in file order.
int order_runs(const Keys &k, int level, int32_t *rows, int32_t n) {
    SortColumn column = sort_column_of(k.viewer, k.keys[level].col, k.kinds[level]);
    Neighbour prev, cur;
    neighbour_read(&column, rows[0], &prev);
    int32_t start = 0;
    for (int32_t i = 1; i <= n; ++i) {
        if (static_cast<uint32_t>(i) % STOP_ROWS == 0 && stop_asked()) return 0;
        if (i < n) {
            if (i + 16 < n) sort_column_prefetch_slot(&column, rows[i + 16]);
            if (i + 8 < n) sort_column_prefetch_row(&column, rows[i + 8]);
            neighbour_read(&column, rows[i], &cur);
            if (neighbour_same_value(k.kinds[level], &prev, &cur)) continue;
            prev = cur;
        }
        if (i - start > 1 && !order_run(k, level + 1, rows + start, i - start)) return 0;
        start = i;
    }
    return 1;
}

} // namespace

int order_rows_by(const Viewer *viewer, const OrderKey *keys, int nkeys, const ColumnKind *kinds,
                  const int32_t *in, int32_t n, int32_t *out) {
    if (n <= 0) return 1;
    if (nkeys <= 0) {
        if (!in) {
            for (int32_t i = 0; i < n; ++i) out[i] = i;
        } else if (out != in) {
            memmove(out, in, static_cast<size_t>(n) * sizeof *out);
        }
        return 1;
    }
    if (!order_rows(viewer, keys[0].col, kinds[0], in, n, out)) return 0;
    if (keys[0].dir == SORT_DESC && !order_descending(viewer, keys[0].col, kinds[0], out, n))
        return 0;
    if (nkeys == 1) return 1;
    const Keys k = {viewer, keys, kinds, nkeys};
    return order_runs(k, 0, out, n);
}
