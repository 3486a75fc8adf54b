// A column's distinct values and how often each comes, in a fixed block: exact while they fit,
// and past that the most frequent ones kept as Misra and Gries keep them, so that a second pass
// can count those exactly.
#pragma once

#include <stddef.h>
#include <stdint.h>

// One value: its tag, the first file row holding it (its spelling is that row's field), and its
// count. A tag is exact (the value's whole sort key, so equal tags are equal values) or a hash of
// the key, whose equal tags must be checked against the row's field. count 0 marks a free slot.
struct ValueSlot {
    uint64_t tag;
    uint32_t row;   // bit 31: the tag is exact
    uint32_t count; // rows holding the value, plus the table's `base`
};

const uint32_t SLOT_EXACT = 0x80000000u;

inline int32_t slot_row(const ValueSlot *s) {
    return static_cast<int32_t>(s->row & ~SLOT_EXACT);
}

// Open addressing with linear probing over `cap` slots, at most `limit` (70 %) of them used. The
// block comes from base/mem.h and belongs to the table (value_table_free).
//
// While the values fit, the counts are exact. Once a new value finds the table full, the table
// forgets one row of every value (each count less one, the values left at 0 dropped, the new one
// with them): `decrements` counts those rounds, and every value held more than `decrements` times
// is still in the table, its count short by at most `decrements`.
//
// A slot's rows are its count less `base`: 0 while the table counts, 1 once value_table_recount
// has set every value's count back (so that no held value's slot looks free).
struct ValueTable {
    ValueSlot *slots;
    uint32_t cap, limit, used, base;
    uint64_t decrements;
};

// A table of at most `bytes` bytes (at least 16 slots). Returns 0 when the memory cannot be had.
int value_table_init(ValueTable *t, size_t bytes);
void value_table_free(ValueTable *t);

// Asks the processor for the slot a value with this tag is first looked for in, ahead of the
// lookup.
void value_table_prefetch(const ValueTable *t, uint64_t tag);

// Whether a hash tag's slot holds the same value as the row being looked up.
typedef bool (*SameValue)(void *context, int32_t slot_row);

// The slot of the value with this tag, or null when the table has none. `same` settles hash tags.
ValueSlot *value_table_find(ValueTable *t, uint64_t tag, bool exact, SameValue same, void *context);

// Counts one more row of the value with this tag: found, or added with `row` as its first row;
// a value already there keeps the lower of the rows. When the table is full, a decrement round
// instead (the value is not added).
void value_table_count(ValueTable *t, uint64_t tag, bool exact, int32_t row, SameValue same,
                       void *context);

// Makes `to` a table of its own holding, for a second pass, the values of `from` (a table that let
// values go) counted most often: those counted at least T times in `from`, T the least count for
// which they are at most `most`. Each is held with its tag and row, its rows set to 0 as
// value_table_recount sets them, in a table a quarter full, small enough to stay in the processor's
// cache. `*left_at_most` gets T - 1: no value of `from` left out was counted more often there.
// Returns 0, `to` untouched, when more than `most` values were counted CANDIDATE_COUNT_MAX times
// or more (too many to tell apart cheaply), or when the memory cannot be had.
enum : uint32_t { CANDIDATE_COUNT_MAX = 1024 };
int value_table_candidates(const ValueTable *from, uint32_t most, ValueTable *to,
                           uint32_t *left_at_most);

// Sets every value's rows to 0, keeping the values and their rows (which a hash tag's check reads):
// for a second pass that counts the values the table holds exactly, through value_table_find, and
// lowers each value's first row to the first of all.
void value_table_recount(ValueTable *t);
