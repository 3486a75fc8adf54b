// Telling whether neighbouring rows of an order hold equal values, reading each field once and its
// key only where the bytes differ: what turns an order round and what finds the runs a further
// sort key orders.
#pragma once

#include "order/record_sort.h"
#include "order/sort_column.h"

#include <stddef.h>
#include <stdint.h>

// A row's field and, once read, its key's first bytes. Points into the document; owns nothing.
struct Neighbour {
    const char *field;
    size_t len;
    bool keyed;
    FieldClass cls;
    uint8_t got;
    uint8_t bytes[RECORD_KEY_BYTES + 1];
};

// Reads file row `row`'s field of the column, its key not yet.
void neighbour_read(const SortColumn *column, int32_t row, Neighbour *n);

// Whether the two fields hold equal values of the column's kind (NULLs equal each other; damaged
// fields equal when their bytes are). Reads the keys of fields whose bytes differ, and keeps what
// it read in the neighbours for the next comparison.
bool neighbour_same_value(ColumnKind kind, Neighbour *a, Neighbour *b);
