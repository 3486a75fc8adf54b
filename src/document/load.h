// The dump container loader: a file's sections, header line, column names and rows, found where
// they lie in the file's mapped bytes by one pass (document/dump_scan.h) that may go on in steps
// while the first rows already show.
#pragma once

#include "base/file_map.h"
#include "document/dump_scan.h"
#include "document/viewer.h"

#include <stdint.h>

// The container starts with this magic; sections follow as "\x01[NAME]\n" markers.
#define DUMP_MAGIC "KMZTAB01"
enum { DUMP_MAGIC_LEN = 8 };

// Starts loading the mapped file into `viewer`, which must own no blocks (a zeroed record, or one
// just emptied by viewer_free_blocks): when the file is a dump container (8 bytes or more, the
// magic first) the record takes the map over, its row index is made and `scan` begins reading it
// into that index, and 1 is returned; the record then shows an empty document being counted.
// Returns 0 when the file is no dump container or the index's memory cannot be had: the record is
// then unchanged and the map stays the caller's.
int load_begin(Viewer *viewer, FileMap *map, DumpScan *scan);

// Brings the record up to what the scan has found so far: the sections once their ends are known,
// the header line's copies, column names, column count and types once the header line (and, for a
// count from the first row, that row) is, the rows counted, and the status, which says
// "counting…" until the scan is done. Returns 1, or 0 when memory for the header line's copies
// or the types cannot be had (the record then keeps what it had, and a later call tries again).
int load_adopt(Viewer *viewer, const DumpScan *scan);

// When a read of the file has failed since (the file cut short, its drive gone), notes it in the
// record and its status ("the file could not be read whole") and returns 1; else 0. What was read
// before stays shown.
int load_note_failure(Viewer *viewer);

// The whole load at once, as the tests and tools use it: maps the file at `path` (the platform's
// 8-bit file name), begins, scans it to its end and adopts what it found. Returns 1 when loaded;
// 0 when the file cannot be opened or mapped, is 7 bytes or shorter, lacks the magic, or memory
// for any owned block cannot be had; the record is then unchanged and nothing stays allocated.
int load_file(Viewer *viewer, const char *path);

// The same for a file already mapped, which the record takes over when loaded (and which stays
// the caller's otherwise).
int load_map(Viewer *viewer, FileMap *map);
