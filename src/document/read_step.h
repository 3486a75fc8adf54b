// Reading a dump from its file a step at a time: the bytes a step of the scan looks at are made
// ready first (a held file is read on, base/file_map.h), then scanned, so the scan never passes
// what has been read; and how far ListLoad reads before it returns.
#pragma once

#include "base/file_map.h"
#include "document/dump_scan.h"

#include <stdint.h>

// One step of at most `budget` bytes from scan->pos: the file read on as far as the step looks,
// then scanned. Returns as scan_step. One thread at a time reads a map: the window's while it
// loads, then the count's.
int read_step(DumpScan *scan, FileMap *map, uint64_t budget);

// The first screen, what ListLoad reads before it returns: the data block's header line and
// FIRST_SCREEN_ROWS rows once FIRST_SCREEN_FLOOR bytes are read (so that a small file is read
// whole at once and let go), or FIRST_SCREEN_BYTES, whichever comes first. A header line still
// open at that bound is read on to its end, in steps of FIRST_SCREEN_HEADER_STEP, for at most
// FIRST_SCREEN_HEADER_REST more bytes, so that the grid has its columns. A data block further on,
// rows past the bound and a long SQL section before the data are left to the count, whatever the
// file's shape.
enum : uint64_t {
    FIRST_SCREEN_ROWS = 1000,
    FIRST_SCREEN_FLOOR = 4u << 20,
    FIRST_SCREEN_BYTES = 16u << 20,
    FIRST_SCREEN_HEADER_REST = 1u << 20,
    FIRST_SCREEN_STEP = 256u << 10,
    FIRST_SCREEN_HEADER_STEP = 4u << 10,
};

// Reads the first screen of a scan just begun. Returns 1 when more of the file is left to count,
// 0 once the scan is done.
int read_first_screen(DumpScan *scan, FileMap *map);
