// Ordering rows by one column, ascending and descending.
#include "order/order.h"

#include "base/mem.h"
#include "base/stop.h"
#include "order/record_sort.h"

#include <string.h>

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

// A field and, once read, its key's first bytes, for telling neighbours' values apart.
struct Neighbour {
    const char *field;
    size_t len;
    bool keyed;
    FieldClass cls;
    uint8_t got;
    uint8_t bytes[RECORD_KEY_BYTES + 1];
};

void read_field(const SortColumn *column, int32_t row, Neighbour *n) {
    uint32_t offset;
    n->field = sort_column_field(column, row, &n->len, &offset);
    n->keyed = false;
}

void read_key(ColumnKind kind, Neighbour *n) {
    SortKey key;
    sort_key_open(&key, kind, n->field, n->len);
    n->cls = key.cls;
    n->got = static_cast<uint8_t>(sort_key_read(&key, n->bytes, sizeof n->bytes));
    n->keyed = true;
}

// Whether n bytes are the same; fields and key starts are short, where a loop beats a call.
bool same_bytes(const void *a, const void *b, size_t n) {
    const uint8_t *x = static_cast<const uint8_t *>(a), *y = static_cast<const uint8_t *>(b);
    for (size_t i = 0; i < n; ++i)
        if (x[i] != y[i]) return false;
    return true;
}

// Whether two fields hold equal values: the same bytes always do, so keys are read only for
// fields that differ, and different first key bytes settle most of those.
bool same_value(ColumnKind kind, Neighbour *a, Neighbour *b) {
    if (a->field && b->field && a->len == b->len && same_bytes(a->field, b->field, a->len))
        return true;
    if (!a->keyed) read_key(kind, a);
    if (!b->keyed) read_key(kind, b);
    if (a->cls != b->cls) return false;
    if (a->cls == FIELD_NULL) return true;
    if (a->got != b->got || !same_bytes(a->bytes, b->bytes, a->got)) return false;
    if (a->got < sizeof a->bytes) return true;
    SortKey x, y;
    if (a->cls == FIELD_DAMAGED) {
        sort_key_open_raw(&x, a->field, a->len);
        sort_key_open_raw(&y, b->field, b->len);
    } else {
        sort_key_open(&x, kind, a->field, a->len);
        sort_key_open(&y, kind, b->field, b->len);
    }
    return sort_key_compare(&x, &y) == 0;
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
    read_field(&column, rows[0], &prev);
    int32_t start = 0;
    for (int32_t i = 1; i < n; ++i) {
        if (i % STOP_ROWS == 0 && stop_asked()) return 0;
        if (i + 16 < n) sort_column_prefetch_slot(&column, rows[i + 16]);
        if (i + 8 < n) sort_column_prefetch_row(&column, rows[i + 8]);
        read_field(&column, rows[i], &cur);
        if (!same_value(kind, &prev, &cur)) {
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
