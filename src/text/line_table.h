// Where the lines of a block of text start: one offset a line, found by one pass over its bytes.
#pragma once

#include <stddef.h>

// starts[0] is 0 and starts[i] is the offset just past the i-th line break (a line feed, or a NUL
// byte, which the document's texts never hold: a file's text ends at its first NUL), so `count` is
// the number of line breaks plus one. Owns `starts` (8 bytes a line, from the allocation seam);
// line_table_free releases it.
struct LineTable {
    size_t *starts;
    size_t count;
};

// Builds the table of n bytes. Returns 1, or 0 when the memory cannot be had (then the table owns
// nothing). Costs one pass over the bytes for their line breaks and one block for the offsets.
int line_table_build(LineTable *table, const char *bytes, size_t n);

// Frees the offsets and leaves an empty table; safe on an empty table.
void line_table_free(LineTable *table);
