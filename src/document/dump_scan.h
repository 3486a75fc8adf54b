// Reading a dump container from its first byte to its last in steps: the sections, the data
// block's header line and the start of every row, found in one pass by the rules the loader
// applies (load.h), so that the first rows can show while the rest is still being counted.
#pragma once

#include "document/row_index.h"

#include <stddef.h>
#include <stdint.h>

// The rules, as they read in order: the text ends at the file's first NUL byte; a section begins
// after the first occurrence of its marker ("\x01[SQL]\n", "\x01[INFO]\n", "\x01[DATA]\n");
// the SQL and INFO sections end at the first 0x01 byte after their start, or at the text's end;
// the data block runs from its marker to the text's end, unless the end of an SQL or INFO section
// begun inside it comes first. Its first line is the header line; each line after it is a row, up
// to a line that is exactly "\." (which ends the rows) or the block's end, a final line feed
// adding no empty row. Lines end at line feeds only.
enum ScanPhase : uint8_t {
    SCAN_HEAD,   // before the data block's marker
    SCAN_HEADER, // in the data block's header line
    SCAN_ROWS,   // in the data block's rows
    SCAN_REST,   // past the data block: only markers and the text's end are left to find
    SCAN_DONE,
};

enum { SECTION_SQL, SECTION_INFO, SECTION_DATA };

// Offsets are from the file's start. A section's start is -1 until its marker is found; its end
// is known once `ended` is set for it (SQL and INFO: their cut, or the text's end once the scan is
// done; DATA: `data_end`). rows_found rows are complete: their starts, and the start after the
// last, are entries 0 .. rows_found of `rows` (which the scan writes and does not own).
struct DumpScan {
    const char *bytes;
    uint64_t len;
    uint64_t pos; // every byte before it has been read
    ScanPhase phase;
    int64_t start[3];
    uint64_t end[3];
    uint8_t ended[3];
    uint64_t header_end; // the header line is [start[SECTION_DATA], header_end) once in SCAN_ROWS
    uint64_t row_start;  // the row being read
    RowIndex *rows;
    int64_t rows_found;
    int64_t entries;   // entries of `rows` written: rows_found + 1 once the first row has begun
    uint8_t capped;    // more rows than ROWS_MAX: the first ROWS_MAX are kept
    uint8_t no_memory; // the row index could not grow: the rows found are kept, the count stops
};

// Starts a scan of the file's len bytes (8 or more, the magic checked by the caller), writing row
// starts into `rows`, an empty index made for at least ROWS_MAX + 1 entries or for len + 1,
// whichever is fewer.
void scan_begin(DumpScan *scan, const char *bytes, uint64_t len, RowIndex *rows);

// Reads on from `pos` for at most `budget` bytes (and up to the few a marker needs beyond them).
// Returns 1 while there is more to read, 0 once the scan is done.
int scan_step(DumpScan *scan, uint64_t budget);

// Whether the data block's header line is known (the block has one and it is complete).
inline bool scan_has_header(const DumpScan *scan) {
    return scan->phase > SCAN_HEADER && scan->start[SECTION_DATA] >= 0;
}
