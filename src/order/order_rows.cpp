// Ordering rows by one column, ascending and descending.
#include "order/order.h"

#include "base/mem.h"
#include "order/record_sort.h"

#include <string.h>

namespace {

void reverse(int32_t *rows, int32_t n) {
    for (int32_t i = 0, j = n - 1; i < j; ++i, --j) {
        int32_t t = rows[i];
        rows[i] = rows[j];
        rows[j] = t;
    }
}

// Whether two fields hold equal values; the same bytes always do.
bool same_value(ColumnKind kind, const char *a, size_t alen, const char *b, size_t blen) {
    if (a && b && alen == blen && memcmp(a, b, alen) == 0) return true;
    return order_compare_fields(kind, a, alen, b, blen) == 0;
}

} // namespace

int order_rows(const Viewer *viewer, int32_t col, ColumnKind kind, const int32_t *in, int32_t n,
               int32_t *out) {
    if (n <= 0) return 1;
    size_t count = static_cast<size_t>(n);
    SortRecord *records = static_cast<SortRecord *>(mem_alloc(count * sizeof(SortRecord)));
    if (!records) return 0;

    // Values fill the records from the front, damaged fields from the back; NULLs need no sorting
    // and wait at the front of `out` (behind the rows of `in` still to be read, when out is in).
    SortColumn column = {viewer, col, kind};
    size_t values = 0, damaged = 0, nulls = 0;
    for (size_t i = 0; i < count; ++i) {
        int32_t row = in ? in[i] : static_cast<int32_t>(i);
        SortKey key;
        sort_column_key(&column, row, &key);
        if (key.cls == FIELD_NULL) {
            out[nulls++] = row;
            continue;
        }
        uint8_t bytes[RECORD_KEY_BYTES + 1];
        size_t got = sort_key_read(&key, bytes, sizeof bytes);
        SortRecord *record =
            key.cls == FIELD_VALUE ? &records[values++] : &records[count - ++damaged];
        sort_record_set(record, bytes, got, row);
    }
    SortRecord *damaged_records = records + count - damaged;
    sort_records(&column, records, values);
    sort_records(&column, damaged_records, damaged);

    memmove(out + count - nulls, out, nulls * sizeof *out);
    for (size_t i = 0; i < values; ++i) out[i] = sort_record_row(&records[i]);
    for (size_t i = 0; i < damaged; ++i) out[values + i] = sort_record_row(&damaged_records[i]);
    mem_free(records);
    return 1;
}

void order_descending(const Viewer *viewer, int32_t col, ColumnKind kind, int32_t *rows,
                      int32_t n) {
    if (n <= 1) return;
    reverse(rows, n);
    // Each run of equal values now stands in reverse file order; turn each back.
    SortColumn column = {viewer, col, kind};
    size_t prev_len = 0, len = 0;
    const char *prev = sort_column_field(&column, rows[0], &prev_len);
    int32_t start = 0;
    for (int32_t i = 1; i < n; ++i) {
        const char *field = sort_column_field(&column, rows[i], &len);
        if (!same_value(kind, prev, prev_len, field, len)) {
            reverse(rows + start, i - start);
            start = i;
        }
        prev = field;
        prev_len = len;
    }
    reverse(rows + start, n - start);
}

int order_compare_fields(ColumnKind kind, const char *a, size_t alen, const char *b, size_t blen) {
    SortKey x, y;
    sort_key_open(&x, kind, a, alen);
    sort_key_open(&y, kind, b, blen);
    return sort_key_compare(&x, &y);
}
