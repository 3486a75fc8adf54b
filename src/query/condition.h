// Conditions on the rows, as the filter bar takes them: a WHERE clause of the columns against
// values, compared in each column type's order as the server's WHERE compares it.
//
// Grammar (keywords in any case; SQL's precedence: NOT binds tighter than AND, AND than OR):
//   condition  := or
//   or         := and { OR and }
//   and        := not { AND not }
//   not        := NOT not | '(' condition ')' | column test
//   test       := op value | IS [NOT] NULL | [NOT] LIKE string | [NOT] ILIKE string
//               | [NOT] BETWEEN value AND value | [NOT] IN '(' value { ',' value } ')'
//   op         := = | <> | != | < | <= | > | >=
//   value      := number | 'string' ('' for a quote inside) | TRUE | FALSE
//   column     := the name as the header shows it: "Unit Price" (quoted: matched exactly), or
//                 the same without its quotes (Unit Price), or an unquoted name folded to lower
//                 case as the server folds it (STATUS for status)
//
// A value is read as a value of the column's type, as the server reads a literal: a text that is
// none (an integer column against 'abc', a date against '2024-02-30') is an error; a number
// compared with an integer column that is no integer (1.5) compares as numeric, as the server
// promotes it. Dates and times are read in ISO form ('2024-01-31', '2024-01-31 12:00',
// '12:30'); a time zone left out is UTC. Then the comparison is the sort's (order/sort_key.h):
// numeric 1.0 = 1.00, float -0 = 0 and NaN above every number (a real widened to float8 against a
// number, as the server widens it), timestamptz by instant, booleans false before true, text by
// its bytes as COLLATE "C" (character(n) without its trailing blanks, which LIKE keeps as the
// server's does), uuid and bytea by value;
// other types (arrays, json, intervals, ...) by their text. NULL matches no comparison, and NOT of
// a comparison with NULL matches neither (three-valued logic, as the server's); a field that is no
// value of its type (a damaged file) is as NULL to comparisons but not NULL to IS NULL; a field the
// row lacks reads as empty text. LIKE and ILIKE compare the value's text: % any characters, _ one
// character, \ takes the next character as itself; ILIKE ignores case as find does
// (find/case_fold.h).
#pragma once

#include "base/strbuf.h"
#include "document/viewer.h"

#include <stddef.h>
#include <stdint.h>

// A condition read from text or made from a cell: its own blocks (base/mem.h), freed by
// condition_free. It keeps the columns' kinds and types as they were when it was made, and reads
// the viewer only through the calls below, so that a worker may evaluate it over a read-only
// record while nothing changes the record.
struct Condition;

// Why a text is no condition the viewer can read: a message for the bar, and the 1-based position
// (in characters) where reading stopped.
struct ConditionError {
    char message[160];
    int32_t position;
};

// Whether the text begins (after blanks, opening parentheses and NOTs) with a column's name as the
// header shows it, with or without its quotes, followed by an operator: then it is a condition
// (read by condition_parse, which may still find it wrong); else the bar's contains-filter.
bool condition_looks_like(const Viewer *viewer, const char *text, size_t len);

// Reads the text as a condition over the viewer's columns. Returns 1 with a new condition in *out;
// or 0, *out null, with the reason in *error (also when the memory cannot be had).
int condition_parse(const Viewer *viewer, const char *text, size_t len, Condition **out,
                    ConditionError *error);

// Whether file row `file_row` holds the condition (true, not false or unknown).
bool condition_holds(const Condition *c, const Viewer *viewer, int32_t file_row);

// Sets bit f (bits[f / 8] & 1 << f % 8) of every file row f of in[0 .. n - 1] (null `in`: rows
// 0 .. n - 1) that holds the condition, leaving the other bits; returns how many it set, or -1
// when the work is asked to stop (base/stop.h, looked at every STOP_ROWS rows).
int64_t condition_mark(const Condition *c, const Viewer *viewer, const int32_t *in, int32_t n,
                       uint8_t *bits);

// The tests a cell's menu offers: its value, not its value (SQL's <>: NULL rows do not match),
// NULL, not NULL.
enum CellTest : uint8_t { CELL_EQUAL, CELL_NOT_EQUAL, CELL_IS_NULL, CELL_NOT_NULL };

// A condition on column `col` from a cell's raw field (len bytes as the row holds it): equal or not
// equal to its value in the column type's order (a NULL cell's value tests IS NULL or IS NOT
// NULL; a damaged field's value matches the same bytes), or NULL or not NULL. Null when the memory
// cannot be had.
Condition *condition_for_cell(const Viewer *viewer, int32_t col, CellTest test, const char *raw,
                              size_t len);

// A condition of its own with the same tests, values and text: for a reader on another thread
// while the window thread keeps the first. Null when the memory cannot be had; null for null.
Condition *condition_copy(const Condition *c);

// Both conditions together (AND). Takes both (either may be null: then the other is the result);
// null when the memory cannot be had, and then both are freed.
Condition *condition_and(Condition *a, Condition *b);

// Appends the condition as the status line names it, the columns as the header shows them and the
// values as typed (a cell's value as the grid shows it): "Unit Price" > 100 AND status = 'paid'.
// May reallocate out's data.
void condition_text(const Condition *c, const Viewer *viewer, StrBuf *out);

// The same, as one operand of an AND written before it: in parentheses when its own top is an OR.
void condition_text_after_and(const Condition *c, const Viewer *viewer, StrBuf *out);

void condition_free(Condition *c);
