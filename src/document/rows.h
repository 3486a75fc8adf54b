// A row's line in the file's bytes, from the row index: where it starts and where it ends, its
// line feed left out (a carriage return before it stays, as the line's last byte; document/fields.h
// says where its fields lie).
#pragma once

#include "document/viewer.h"

#include <stdint.h>

// The index entry after a row whose line ends at `line_end` (its line feed, or the data block's
// end when no line feed follows it): one byte past it, where the row after it starts. The scan
// writes the entries so (document/dump_scan.h) and row_end reads them back.
inline const char *row_entry_after(const char *line_end) {
    return line_end + 1;
}

// Row r, 0 <= r < row_count.
inline const char *row_start(const Viewer *viewer, int32_t r) {
    return row_index_at(&viewer->rows, r);
}
inline const char *row_end(const Viewer *viewer, int32_t r) {
    return row_index_at(&viewer->rows, static_cast<int64_t>(r) + 1) - 1;
}

// A row's line: [start, end).
struct RowLine {
    const char *start, *end;
};
inline RowLine row_line(const Viewer *viewer, int32_t r) {
    return {row_start(viewer, r), row_end(viewer, r)};
}

// The rows' block, every row's line from the first row's start to the last row's end, one after
// another with their line feeds between: [rows_begin, rows_end). Only when row_count > 0.
inline const char *rows_begin(const Viewer *viewer) {
    return row_start(viewer, 0);
}
inline const char *rows_end(const Viewer *viewer) {
    return row_end(viewer, viewer->row_count - 1);
}
