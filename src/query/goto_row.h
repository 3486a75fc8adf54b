// The go-to-row bar's text read as a row number.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Reads a 1-based row number from the bar's text: digits, with blanks around them and commas
// between digits as the status line groups counts ("1,234" or "1234"). Returns 1 with the number
// in *row (INT64_MAX for a number past it: the caller goes to the last row); 0 for any other text,
// an empty one or 0.
int goto_row_parse(const char *text, size_t len, int64_t *row);
