// Equal values among neighbours, settled by their bytes where possible.
#include "order/neighbours.h"

namespace {

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

} // namespace

void neighbour_read(const SortColumn *column, int32_t row, Neighbour *n) {
    uint32_t offset;
    n->field = sort_column_field(column, row, &n->len, &offset);
    n->keyed = false;
}

// The same bytes always hold the same value, so keys are read only for fields that differ, and
// different first key bytes settle most of those.
bool neighbour_same_value(ColumnKind kind, Neighbour *a, Neighbour *b) {
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
