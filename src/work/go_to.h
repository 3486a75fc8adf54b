// The go-to bar: where its text takes the cursor among the rows as shown, and what it says.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum GoTo {
    GOTO_ROW,       // to that row; the bar closes
    GOTO_LAST,      // the number is past the end: to the last row, and the bar says so
    GOTO_NOT_A_ROW, // no row number (goto_row_parse refused it): the bar says what it takes
    GOTO_NO_ROWS,   // no row shows to go to
};

// Reads the bar's text (len bytes) as a 1-based row number among `rows` rows shown
// (query/goto_row.h: thousands separators as the status line writes them, or none) into *row,
// 0-based; writes what the bar says into message (n bytes, "" for GOTO_ROW): "Past the end: row
// 1,234 is the last", "Type a row number, 1 to 1,234", "No rows to go to".
GoTo go_to_row(const char *text, size_t len, int32_t rows, int32_t *row, char *message, size_t n);
