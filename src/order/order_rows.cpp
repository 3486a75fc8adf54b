// Ordering rows by one column, ascending and descending.
#include "order/order.h"

#include "base/mem.h"
#include "base/stop.h"
#include "order/neighbours.h"
#include "order/record_sort.h"

namespace {

// Turns the n rows round; false when asked to stop part of the way (the rows then hold no order).
bool reverse(int32_t *rows, int32_t n) {
    for (int32_t i = 0, j = n - 1; i < j; ++i, --j) {
        if (i % STOP_ROWS == STOP_ROWS - 1 && stop_asked()) return false;
        int32_t t = rows[i];
        rows[i] = rows[j];
        rows[j] = t;
    }
    return true;
}

// Marks a damaged field's record until the values are parted from the damaged fields: a key
// stretch's byte count is at most 12, so its top bit is free.
const uint64_t DAMAGED_MARK = 0x80ull << 32;

// Moves the records of damaged fields (and their rows) behind the others; returns how many
// records come before them, and unmarks them.
size_t part_damaged(SortRecord *records, int32_t *rows, size_t n) {
    size_t i = 0, j = n, steps = 0;
    for (;;) {
        if ((++steps & (STOP_ROWS - 1)) == 0 && stop_asked()) return i;
        while (i < j && !(records[i].rest & DAMAGED_MARK)) ++i;
        while (i < j && (records[j - 1].rest & DAMAGED_MARK)) --j;
        if (i >= j) break;
        --j;
        SortRecord r = records[i];
        records[i] = records[j];
        records[j] = r;
        int32_t row = rows[i];
        rows[i] = rows[j];
        rows[j] = row;
    }
    for (size_t k = i; k < n; ++k) records[k].rest &= ~DAMAGED_MARK;
    return i;
}

} // namespace

int order_rows(const Viewer *viewer, int32_t col, ColumnKind kind, const int32_t *in, int32_t n,
               int32_t *out) {
    if (n <= 0) return 1;
    size_t count = static_cast<size_t>(n);
    SortRecord *records = static_cast<SortRecord *>(mem_alloc(count * sizeof(SortRecord)));
    if (!records) return 0;

    // Fields fill the records from the front, their rows beside them in `out` (never ahead of the
    // rows of `in` still to be read, when out is in); NULLs need no sorting and wait at the back of
    // the records, in file order from the last.
    SortColumn column = sort_column_of(viewer, col, kind);
    size_t front = 0, nulls = 0;
    for (size_t i = 0; i < count; ++i) {
        if (i % STOP_ROWS == STOP_ROWS - 1 && stop_asked()) {
            mem_free(records);
            return 0;
        }
        int32_t row = in ? in[i] : static_cast<int32_t>(i);
        // Rows picked from all over the file (a filter's, a run of equal values) are asked for
        // well before they are read.
        if (in && i + 16 < count) sort_column_prefetch_slot(&column, in[i + 16]);
        if (in && i + 8 < count) sort_column_prefetch_row(&column, in[i + 8]);
        SortKey key;
        uint32_t field;
        sort_column_key(&column, row, &key, &field);
        if (key.cls == FIELD_NULL) {
            records[count - ++nulls].head = static_cast<uint64_t>(row);
            continue;
        }
        sort_record_read(&records[front], &key, field);
        if (key.cls == FIELD_DAMAGED) records[front].rest |= DAMAGED_MARK;
        out[front++] = row;
    }
    size_t values = part_damaged(records, out, front);
    sort_records(&column, FIELD_VALUE, records, out, values);
    sort_records(&column, FIELD_DAMAGED, records + values, out + values, front - values);
    if (stop_seen()) { // the sort gave up part of the way: `out` holds no order
        mem_free(records);
        return 0;
    }
    for (size_t i = 0; i < nulls; ++i)
        out[front + i] = static_cast<int32_t>(records[count - 1 - i].head);
    mem_free(records);
    return 1;
}

int order_descending(const Viewer *viewer, int32_t col, ColumnKind kind, int32_t *rows, int32_t n) {
    if (n <= 1) return 1;
    if (!reverse(rows, n)) return 0;
    // Each run of equal values now stands in reverse file order; turn each back. The rows come in
    // no order of the file's, so each is asked for well before it is read.
    SortColumn column = sort_column_of(viewer, col, kind);
    Neighbour prev, cur;
    neighbour_read(&column, rows[0], &prev);
    int32_t start = 0;
    for (int32_t i = 1; i < n; ++i) {
        if (static_cast<uint32_t>(i) % STOP_ROWS == 0 && stop_asked()) return 0;
        if (i + 16 < n) sort_column_prefetch_slot(&column, rows[i + 16]);
        if (i + 8 < n) sort_column_prefetch_row(&column, rows[i + 8]);
        neighbour_read(&column, rows[i], &cur);
        if (!neighbour_same_value(kind, &prev, &cur)) {
            if (!reverse(rows + start, i - start)) return 0;
            start = i;
        }
        prev = cur;
    }
    return reverse(rows + start, n - start) ? 1 : 0;
}

int order_compare_fields(ColumnKind kind, const char *a, size_t alen, const char *b, size_t blen) {
    SortKey x, y;
    sort_key_open(&x, kind, a, alen);
    sort_key_open(&y, kind, b, blen);
    return sort_key_compare(&x, &y);
}
