// The order the grid shows its rows in, made from what is asked of it: sort keys (each column in
// PostgreSQL's order for its type) and a filter, together or apart.
//
// An order is made whole, beside the one the grid shows, from a read-only copy of the record (on
// any thread: work/job.h), and installed on the window thread, which frees what the order before
// held and nothing else. So the grid never shows an order half made, a stopped build leaves the
// grid as it was, and the rows an order was made for (RowOrder::rows) are the only rows it ever
// reads, however many the count finds meanwhile.
#pragma once

#include "document/viewer.h"
#include "find/needle.h"
#include "query/condition.h"

#include <stdint.h>

// What an order is asked to be.
//
// Which rows it is made for: an order that reuses part of the order shown (its sort, or its
// filter's rows) is made for that order's rows; one made afresh is made for every row counted.
// `filter_kept` says that the filter asked for is the one the order shown was made with, so that
// its rows are taken from it rather than found again; `fresh` reuses nothing (the count has ended,
// and the order is made again over every row).
//
// A filter lets through the rows that hold its needle (when it has one: char_count > 0) and its
// condition (when it has one), both. The condition is borrowed: whoever made the plan keeps it
// alive and unchanged while an order is built from the plan (an order job owns the filter it reads:
// work/order_job.h).
struct OrderPlan {
    OrderKey keys[ORDER_KEYS_MAX];
    int32_t key_count;
    bool filtered;              // only the rows that hold the filter show
    Needle needle;              // a text a cell must hold, ignoring case as find does
    const Condition *condition; // a condition the row must hold, or null
    bool filter_kept;           // the filter is the order shown's
    bool fresh;                 // every row counted, nothing reused
};

// An order made and not yet installed, with where the records the cursor and the anchor stood on
// when it was asked for show in it (-1 where they do not show, or were none). Its blocks are its
// own, or blocks of the order it was made from, which it shares rather than copies.
struct BuiltOrder {
    RowOrder order;
    int32_t cursor_record, anchor_record;
    int32_t cursor_at, anchor_at;
};

enum BuildEnd {
    BUILD_DONE,
    BUILD_NO_MEMORY, // nothing was made
    BUILD_STOPPED,   // asked to stop (base/stop.h) part of the way: nothing was made
};

// Makes the order `plan` asks for from `from`, a record (or a copy of one) whose order and rows
// stay as they are meanwhile; `from` is only read. cursor_record and anchor_record (file rows, or
// -1) are found in the order made. On BUILD_DONE `out` holds the order; otherwise it holds nothing
// and everything made on the way is freed. Loops over rows look at the stop flag every STOP_ROWS
// rows. Costs: a sort 4 bytes a row while it holds and at most 16 more while it runs; a filter a
// scan over the data block (its needle) and a test of each row it let through (its condition), and
// a bit a row; turning a one-key sort round a copy and a pass.
BuildEnd order_build(const Viewer *from, const OrderPlan *plan, int32_t cursor_record,
                     int32_t anchor_record, BuiltOrder *out);

// Frees what a built order holds that `from_order` (the order it was built from) does not: for an
// order that is not installed.
void order_discard(BuiltOrder *built, const RowOrder *from_order);

// How the cursor and the anchor follow an installed order.
enum OrderCursor {
    // On the cursor's record where it shows (else the first row), the selection collapsed onto it:
    // a new sort or filter asked for by the user.
    CURSOR_COLLAPSE,
    // The cursor and the anchor each on their records, a selection of every row still every row:
    // the same order made again over more rows, which should change nothing the user chose.
    CURSOR_KEEP_SELECTION,
};

// Installs a built order as the record's, on the window thread, freeing the record's order before
// (but the blocks the new one shares with it) and emptying `built`. The order must have been built
// from the record's current order, or from file order. The records the cursor and the anchor stand
// on now are looked up in the new order (found at once when they are the ones the order was asked
// for).
void order_install(Viewer *viewer, BuiltOrder *built, OrderCursor how);

// The file row the grid shows at position `row`, or -1 when no row shows there.
int32_t record_at(const Viewer *viewer, int32_t row);

// Where file row `record` shows in the grid, or -1 where it does not: at once for the cursor's
// record and in file order, else a pass over the rows shown.
int32_t row_of_record(const Viewer *viewer, int32_t record);

// The same, made and installed at once on the calling thread, the cursor collapsing onto its
// record: for the tests and the small files, whose orders take no time. Sorts by one column
// (SORT_NONE: no key), keeping the filter's rows; or sorts by keys[0 .. n - 1], keeping them too;
// or filters by a needle (null or empty: none) and a condition (null: none), keeping the keys.
// Returns 1, or 0 when nothing changed (no memory, or stopped).
int grid_set_sort(Viewer *viewer, int32_t col, SortDir dir);
int grid_set_keys(Viewer *viewer, const OrderKey *keys, int32_t n);
int grid_set_filter(Viewer *viewer, const Needle *needle, const Condition *condition = nullptr);

// The plan of the record's current order, its filter taken as kept (the needle is the caller's to
// fill when one holds): the start of every change a caller asks for.
OrderPlan order_plan_of(const Viewer *viewer, const Needle *needle);
