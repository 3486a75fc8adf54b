// Rows in PostgreSQL's order for a column's type: what a click on a column header shows, ascending
// (ORDER BY column ASC) and descending (ORDER BY column DESC), equal values in file order both
// ways, as if each ORDER BY ended in the row's place in the file.
//
// A value is its COPY field with the escapes decoded, read as the column's kind
// (document/column_types.h; sort_key.h says how each kind's values order):
//   - NULL (a field that is exactly \N) sorts last ascending and first descending;
//   - integers, exact decimals (numeric), floating point (NaN above Infinity, -0 equal to 0),
//     booleans (false first), dates, times and timestamps (by instant with a zone; the infinities
//     at the ends) and timetz (as timetz_cmp: by instant, then zone) by value;
//   - every other type (text, varchar, char, name, uuid, bytea in hex, json, jsonb, arrays,
//     intervals, ...) by the bytes of its value, as COLLATE "C" orders text. For text, varchar,
//     name, uuid and bytea that is the server's own order; for the others it is an order of their
//     text, not the server's (arrays order element by element, jsonb and intervals by rules of
//     their own), and character(n) keeps its padding, so a value whose last character before the
//     blanks is below the blank (a tab, say) sorts apart from where the server puts it;
//   - a field that is no value of its kind (a damaged file; the server writes none) sorts after
//     all values and before the NULLs, by its bytes as written; a row missing the field sorts
//     there too, as an empty field.
#pragma once

#include "document/column_types.h"
#include "document/viewer.h"

#include <stddef.h>
#include <stdint.h>

// Writes into out[0 .. n - 1] the file rows of `in` (n of them, in ascending file order; null `in`
// for rows 0 .. n - 1) in ascending order of column `col` read as `kind`, equal values in file
// order. `out` may be `in`. Returns 1; or 0 when the working memory (16 bytes a row, through
// base/mem.h, freed before returning) cannot be had, and then `out` is untouched; or 0 when the
// work is asked to stop (base/stop.h), and then `out` holds no order. The rows must be
// as the loader cuts them (viewer.h): the sort finds a field again by its place in their block.
int order_rows(const Viewer *viewer, int32_t col, ColumnKind kind, const int32_t *in, int32_t n,
               int32_t *out);

// Turns the n rows that order_rows ordered ascending by (viewer, col, kind) into the descending
// order in place: NULLs first, then the values from the greatest down, equal values in file order
// still. Applied to a descending order it gives the ascending one back. Reads each row's field
// once and allocates nothing. Returns 1; or 0 when the work is asked to stop (base/stop.h), and
// then `rows` holds the same rows in no order: the caller discards them.
int order_descending(const Viewer *viewer, int32_t col, ColumnKind kind, int32_t *rows, int32_t n);

// (OrderKey, one key of an order by several, is the record's: document/viewer.h.)

// Writes into out[0 .. n - 1] the file rows of `in` (ascending file rows, or null for 0 .. n - 1)
// in the order of ORDER BY keys[0], keys[1], ... : by the first key, rows of equal values there by
// the second, and so on; each key's NULLs where its sort alone puts them (last ascending, first
// descending), rows equal in every key in file order. kinds[i] is key i's column kind. No keys is
// file order. `out` may be `in`. Returns 1; or 0 as order_rows does: when the memory cannot be had
// (out untouched) or when the work is asked to stop (out then holds no order).
//
// Costs the first key's sort, then one pass over the rows for each further key that finds the
// runs of rows equal so far, and the runs' own sorts by the next key; memory as order_rows.
int order_rows_by(const Viewer *viewer, const OrderKey *keys, int nkeys, const ColumnKind *kinds,
                  const int32_t *in, int32_t n, int32_t *out);

// Compares two fields of a column of `kind` in ascending order: negative when a sorts before b,
// 0 when their values are equal, positive after. A field is its bytes as the row holds them (alen
// bytes at a), or null for a field the row lacks.
int order_compare_fields(ColumnKind kind, const char *a, size_t alen, const char *b, size_t blen);
