// A field's sort key: bytes whose order is the order PostgreSQL gives the field's value, read a
// piece at a time so that a sort can hold a short prefix of each key and read further only where
// prefixes tie.
#pragma once

#include "document/column_types.h"

#include <stddef.h>
#include <stdint.h>

// How a field sorts among the others of its column, in ascending order: values first, then
// damaged fields (text that is no value of the column's type, and missing fields) by their
// bytes, then NULLs, which PostgreSQL puts last ascending and first descending.
enum FieldClass : uint8_t { FIELD_VALUE, FIELD_DAMAGED, FIELD_NULL };

// Where a key's bytes come from after `head`.
enum KeyTail : uint8_t {
    TAIL_NONE,    // the key is head alone
    TAIL_RAW,     // the field's bytes as written
    TAIL_DECODED, // the field's bytes with COPY escapes decoded
    TAIL_DIGITS,  // a decimal's significant digits, two to a byte, then a terminator if negative
};

// Keys of one class compare as byte strings, a shorter one first when it is the start of the
// other. Per kind, the bytes are:
//   integer                8 bytes, the value big-endian with its sign bit flipped
//   numeric, float         a DecimalClass byte; for a non-zero number 3 bytes of exponent and the
//                          digits two to a byte, both complemented for a negative number, which
//                          ends in 0xFF so that a longer negative sorts lower
//   boolean                one byte, 0 for false
//   date, time, timestamp  8 bytes of the day or microsecond count, as for integers
//   timetz                 8 bytes of the UTC time, then 3 of the zone (seconds west, biased)
//   text and the rest      the value's bytes: the field with its escapes decoded, which is the
//                          order of COLLATE "C"
//   damaged                the field's bytes as written
//
// The key points into the field's bytes, which must outlive it. `head` holds head_len bytes, of
// which the first head_pos have been read; the tail follows.
struct SortKey {
    FieldClass cls;
    KeyTail tail;
    bool negative; // TAIL_DIGITS: complement the digits and end with 0xFF
    bool ended;    // TAIL_DIGITS: the terminator has been read
    uint8_t head_len;
    uint8_t head_pos;
    uint8_t head[12];
    const char *p; // the field's bytes not yet read
    const char *end;
    int64_t digits_left; // TAIL_DIGITS: significant digits not yet read
};

// The key of a field of a column of `kind`: `field` (len bytes) as the row holds it, or null for
// a field the row lacks. A field that is exactly \N is NULL.
void sort_key_open(SortKey *key, ColumnKind kind, const char *field, size_t len);

// The key of a damaged field: its bytes as written.
void sort_key_open_raw(SortKey *key, const char *field, size_t len);

// Reads the key's next bytes into out, at most `want`; returns how many, fewer only at its end.
size_t sort_key_read(SortKey *key, uint8_t *out, size_t want);

// Steps over the key's next n bytes (fewer at its end).
void sort_key_skip(SortKey *key, size_t n);

// Compares what remains of two keys: negative, 0 or positive. Keys of different classes compare
// by class; two NULLs are equal. Reads both keys.
int sort_key_compare(SortKey *a, SortKey *b);

// How many of the next bytes, up to `limit`, two keys of one class share. Reads both keys.
size_t sort_key_common(SortKey *a, SortKey *b, size_t limit);
