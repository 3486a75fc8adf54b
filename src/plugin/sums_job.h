// The selection's sums in the status line (work/selection_status.h): a small selection's worked
// out as the bar is painted; a large one's once the keys have stopped (a timer that each paint
// starts again), as work of the viewer in the background (plugin/long_job.h), which any command
// that asks for work stops and Escape cancels.
#pragma once

#include <windows.h>

#include "document/viewer.h"

// The timer that waits for the keys to stop, and how long it waits.
enum : UINT_PTR { SUMS_TIMER = 0x5A1 };
enum : UINT { SUMS_WAIT_MS = 300 };

// What the status line shows in place of the cursor's column: the selection's sums, "Count …"
// while a large selection's are to come (and the timer started again), or null for one cell.
const char *status_sums(HWND window, Viewer *viewer);

// The timer went off: the large selection's sums as a job, unless other work runs (its end paints
// the bar again, which starts the timer again).
void sums_timer(HWND window, Viewer *viewer);
