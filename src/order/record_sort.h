// Rows sorted by their keys through records of 16 bytes: a key prefix and the row, sorted in
// place, with further key bytes read only for the rows whose prefixes tie.
#pragma once

#include "order/sort_column.h"

#include <stddef.h>
#include <stdint.h>

// Key bytes a record holds, from some offset into the key.
const size_t RECORD_KEY_BYTES = 11;

// One row and a stretch of its key from some offset: `head` holds the first 8 bytes big-endian,
// `rest` the next 3 in its top 24 bits, then in 8 bits how many key bytes there were from the
// offset (12 when there are more than the 11 held), then the row in its low 32 bits. Bytes past
// the key's end are 0. Comparing (head, rest) as unsigned numbers so compares the key stretches
// (a shorter key that is the start of a longer one first, as the count breaks that tie) and then
// the rows.
struct SortRecord {
    uint64_t head;
    uint64_t rest;
};

// Sets the record of `row` from the `got` key bytes read from its offset (at most 12 of them).
void sort_record_set(SortRecord *record, const uint8_t *bytes, size_t got, int32_t row);

inline int32_t sort_record_row(const SortRecord *record) {
    return static_cast<int32_t>(static_cast<uint32_t>(record->rest));
}

// Sorts n records of the column's fields, all of one FieldClass, each set from its key's first
// bytes: into ascending key order, equal keys in ascending row order. Where records tie and their
// keys go on, reads the rows' keys further (from where their first difference can be) and sorts
// those records again. Uses no memory beyond the stack, whose depth grows as log2(n).
void sort_records(const SortColumn *column, SortRecord *records, size_t n);
