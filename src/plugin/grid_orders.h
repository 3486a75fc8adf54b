// The grid's order asked for and shown: a sort from a header click or the menu, a filter from the
// find bar or a cell's menu, and the order made again over every row once the count has ended.
// Each is an order job (work/order_job.h): the grid keeps showing the order before until the new
// one is handed over whole, then shows it, the cursor on its record.
#pragma once

#include <windows.h>

#include "document/viewer.h"
#include "work/row_filter.h"

// Sorts by column col alone (SORT_NONE: no key), the filter kept.
void ask_sort(HWND window, Viewer *viewer, int32_t col, SortDir dir);

// Sorts by keys[0 .. n - 1] (none: file order), the filter kept.
void ask_keys(HWND window, Viewer *viewer, const OrderKey *keys, int32_t n);

// Filters by `filter` (empty: no filter), which it takes over, leaving it empty; the keys kept.
void ask_filter(HWND window, Viewer *viewer, RowFilter *filter);

// The keys as last asked (the order being made's, else the order shown's) into out; returns how
// many: what a header click goes on from.
int32_t asked_keys(HWND window, const Viewer *viewer, OrderKey out[ORDER_KEYS_MAX]);

// The filter as last asked (the one the order being made filters by, else the one shown's; empty
// when none holds): what a new condition is added to. Read only, and only until the next order is
// asked for.
const RowFilter *asked_filter(HWND window, const Viewer *viewer);

// The count has ended: an order made over fewer rows than it found is made again over all of them
// (the cursor and the selection kept on their records), now or once no job runs.
void count_ended(HWND window, Viewer *viewer);

// Makes the order again when that waits and nothing else runs: after a job has ended, and after a
// menu has closed.
void remake_if_due(HWND window, Viewer *viewer);
