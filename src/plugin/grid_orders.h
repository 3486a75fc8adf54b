// The grid's order asked for and shown: a sort from a header click or the menu, a filter from the
// find bar, and the order made again over every row once the count has ended. Each is an order
// job (work/order_job.h): the grid keeps showing the order before until the new one is handed
// over whole, then shows it, the cursor on its record.
#pragma once

#include <windows.h>

#include "document/viewer.h"
#include "find/needle.h"

// Sorts by column col alone (SORT_NONE: no key), the filter kept.
void ask_sort(HWND window, Viewer *viewer, int32_t col, SortDir dir);

// Filters by the needle (null or empty: no filter), the keys kept.
void ask_filter(HWND window, Viewer *viewer, const Needle *needle);

// The direction column col sorts in as last asked (the sort being made, else the one shown), when
// it is the only key; SORT_NONE otherwise: where a header click goes on from.
SortDir header_dir(HWND window, const Viewer *viewer, int32_t col);

// The count has ended: an order made over fewer rows than it found is made again over all of them
// (the cursor and the selection kept on their records), now or once no job runs.
void count_ended(HWND window, Viewer *viewer);

// Makes the order again when that waits and nothing else runs: after a job has ended, and after a
// menu has closed.
void remake_if_due(HWND window, Viewer *viewer);
