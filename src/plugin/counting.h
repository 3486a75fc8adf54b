// Loading a dump into a viewer window: the start of the file read at once, so that ListLoad
// returns with the first screen of rows, and the rest counted in a thread of the viewer's own
// while the viewer is used. The thread only reads the file and writes row starts beyond those the
// viewer shows; the viewer takes up what it found on its own thread, at WM_COUNT_PROGRESS.
#pragma once

#include <windows.h>

#include "base/file_map.h"
#include "document/dump_scan.h"
#include "document/viewer.h"

// Maps the file the host named (an 8-bit path, or with `wide` a UTF-16 one), begins loading it
// into `viewer` (which owns no blocks) and reads on until the first screen of rows is known, or
// the whole file when it is small. Returns 1 with `scan` ready to go on, or 0 when the file is
// refused (the record then unchanged, nothing kept).
int open_document(Viewer *viewer, const void *path, bool wide, DumpScan *scan);

// Goes on counting in a thread of its own when the scan is not done; `scan` must read into the
// row index of `viewer`, the record attached to `window`. When the thread cannot be had, the rest
// is counted here and now.
void count_rest(HWND window, Viewer *viewer, const DumpScan *scan);

// Ends a count still going on, waiting for its thread (a step takes milliseconds); nothing is
// posted afterwards, and a message already posted finds no count. Before the document it reads
// goes, and when the window is destroyed.
void stop_counting(HWND window);

// WM_COUNT_PROGRESS: takes up what the count has found, and when it is done ends it. Returns the
// changes the window must show.
enum CountNews : unsigned {
    COUNT_ROWS = 1,     // more rows
    COUNT_COLUMNS = 2,  // the header line became known: the grid's columns
    COUNT_SECTIONS = 4, // an SQL or INFO section became known
    COUNT_DONE = 8,     // every row is known
};
unsigned count_progressed(HWND window, Viewer *viewer);
