// Loading a dump into a viewer window: the start of the file read at once, so that ListLoad
// returns with the first screen of rows, and the rest counted in a thread of the viewer's own
// (work/count_channel.h) while the viewer is used; the window takes up what the count found at
// WM_COUNT_PROGRESS.
#pragma once

#include <windows.h>

#include "base/file_map.h"
#include "document/dump_scan.h"
#include "document/viewer.h"
#include "work/count_channel.h"

// Maps the file the host named (an 8-bit path, or with `wide` a UTF-16 one), begins loading it
// into `viewer` (which owns no blocks) and reads on until the first screen of rows is known, or
// the whole file when it is small. Returns 1 with `scan` ready to go on, or 0 when the file is
// refused (the record then unchanged, nothing kept).
int open_document(Viewer *viewer, const void *path, bool wide, DumpScan *scan);

// Goes on counting in a thread of its own when the scan is not done; `scan` must read into the
// row index of `viewer`, the record attached to `window`, whose work record must exist. When no
// thread can be had, the rest is counted here and now and shown.
void count_rest(HWND window, Viewer *viewer, const DumpScan *scan);

// Ends a count still going on, waiting for its thread (a step takes milliseconds); a notice
// already posted then finds no count. Before the document it reads goes.
void stop_counting(Viewer *viewer);

// WM_COUNT_PROGRESS: takes up what the count has found, and when it is done ends it. Returns the
// changes the window must show (CountNews).
unsigned count_progressed(Viewer *viewer);
