// Rows sorted by their keys through records of 16 bytes: a key prefix and the field's place, sorted
// in place beside the rows, with further key bytes read only for the rows whose prefixes tie.
#pragma once

#include "order/sort_column.h"

#include <stddef.h>
#include <stdint.h>

// Key bytes a record holds, from some offset into the key.
const size_t RECORD_KEY_BYTES = 11;

// One field and a stretch of its key from some offset into it: `head` holds the first 8 bytes
// big-endian, `rest` the next 3 in its top 24 bits, then in 8 bits how many key bytes there were
// from the offset (12 when there are more than the 11 held), then in its low 32 bits the field's
// offset (sort_column.h), which grows with the row. Bytes past the key's end are 0. Comparing
// (head, rest) as unsigned numbers compares the key stretches (a shorter key that is the start of
// a longer one first, as the count breaks that tie) and then the rows.
//
// The records are sorted beside an array of the rows they stand for (records[i] is rows[i]'s), so
// that a record needs no room for its row.
struct SortRecord {
    uint64_t head;
    uint64_t rest;
};

// Sorts n row numbers (none negative) ascending in place, with no memory beyond the stack.
void sort_rows(int32_t *rows, size_t n);

// Sets a record from the key's next bytes (read from wherever the key stands) and the field's
// place.
void sort_record_read(SortRecord *record, SortKey *key, uint32_t field);

// Sorts n records of the column's fields, all of class `cls` (values or damaged fields), each set
// from its key's first bytes, together with their rows: into ascending key order, equal keys in
// file order. Where keys tie and go on, reads those rows' keys further (from where their first
// difference can be) and sorts them again. Uses no memory beyond the stack, whose depth grows as
// log2(n).
void sort_records(const SortColumn *column, FieldClass cls, SortRecord *records, int32_t *rows,
                  size_t n);
