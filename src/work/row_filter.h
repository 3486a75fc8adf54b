// The grid's filter: what a row must hold to show, as the filter bar and the cells' menu ask it.
//
// Three parts, each of them absent or present, that hold together (AND): the bar's text held by
// one of the row's cells (find's search, ignoring case), or the bar's condition in its place
// (query/condition.h: the bar holds one or the other); and the conditions made from cells' values
// with the menu, joined in the order they were added.
#pragma once

#include "base/strbuf.h"
#include "document/viewer.h"
#include "find/needle.h"
#include "query/condition.h"
#include "work/grid_order.h"

#include <stddef.h>
#include <stdint.h>

// Ownership: the conditions are the filter's own (base/mem.h), freed by row_filter_free, and a
// filter is never shared between threads: an order job reads one of its own, made for it on the
// window thread, and the window thread takes it over whole when the order is installed. A zeroed
// RowFilter is no filter. `all` is `typed` AND `values` (a copy of whichever is there when only
// one is), made whenever the filter is made: what the rows are tested by and how the status line
// names the conditions.
struct RowFilter {
    char text[FIND_TEXT_MAX + 1]; // the bar's text as typed (UTF-8), "" when it holds none
    Condition *typed;             // the bar's condition, or null
    Condition *values;            // the cells' conditions, or null
    int32_t value_count;          // how many cells' conditions `values` joins
    Condition *all;               // typed AND values, or null when neither is there
};

// Whether any part is there.
bool row_filter_any(const RowFilter *f);

// Frees the conditions and leaves the filter empty.
void row_filter_free(RowFilter *f);

// `to` (holding nothing) becomes a filter of its own equal to `from`. Returns 1; or 0, `to` empty,
// when the memory cannot be had.
int row_filter_copy(RowFilter *to, const RowFilter *from);

// `to` (holding nothing) becomes `from` with the bar's part replaced: the text (len bytes) as a
// text filter when `typed` is null, else the condition `typed`, which it takes in every case; an
// empty text and no condition leave the bar's part out. `from` may be null (no filter before).
// Returns 1; or 0, `to` empty, when the memory cannot be had.
int row_filter_with_bar(RowFilter *to, const RowFilter *from, const char *text, size_t len,
                        Condition *typed);

// `to` (holding nothing) becomes `from` and the condition `value` too, which it takes in every
// case. Returns 1; or 0, `to` empty, when the memory cannot be had or `value` is null.
int row_filter_with_value(RowFilter *to, const RowFilter *from, Condition *value);

// What an order is to filter by: `plan`'s filter becomes the filter's parts (none: unfiltered),
// the condition borrowed from `f`, which must stay as it is while an order is built from the plan.
void row_filter_spec(const RowFilter *f, OrderPlan *plan);

// Appends what holds as the status line names it: the text as "contains 'osl'" (quotes doubled
// inside), then the conditions as condition_text writes them, joined by AND. May reallocate out.
void row_filter_name(const RowFilter *f, const Viewer *viewer, StrBuf *out);

// What the filter bar's text is.
enum BarReading {
    BAR_EMPTY,      // no text: the bar filters nothing
    BAR_TEXT,       // a text to find in the cells
    BAR_CONDITION,  // a condition, read into *typed
    BAR_UNREADABLE, // a condition that cannot be read: *message says why and where
};

// Reads the bar's text (len bytes): a condition when condition_looks_like says it is one, read by
// condition_parse into *typed (the caller's, null otherwise); else a text to find. For a condition
// it cannot read, `message` (room bytes) says where reading stopped and why: "At character 7:
// a value was expected".
BarReading bar_text_read(const Viewer *viewer, const char *text, size_t len, Condition **typed,
                         char *message, size_t room);

// The test `test` of the value of the cell the grid shows at row `row`, column `col`
// (condition_for_cell over the cell's raw field; a field the row lacks tests as empty). Null when
// there is no such cell or the memory cannot be had.
Condition *cell_condition(const Viewer *viewer, int32_t row, int32_t col, CellTest test);

// Marks in `bits` (a bit a file row, zeroed) the rows of `dom`, a record in file order (its order
// empty), that hold the plan's filter: its needle when one is there, then its condition. Returns
// how many it marked, or -1 when the work is asked to stop (base/stop.h).
int64_t filter_mark(const Viewer *dom, const OrderPlan *plan, uint8_t *bits);
