// The data block's header line (a COPY statement): its column names and its table name.
#pragma once

#include "document/viewer.h"

#include <stddef.h>

enum { TABLE_NAME_MAX = 255 };

// Cuts the column names out of the header line in place (the line is `len` bytes, NUL-terminated)
// and stores a pointer to each in `names`, at most MAX_COLS of them; returns how many.
//
// The names are the text between the first "(" and the first ")" after it, split at ", ". A
// double-quoted stretch (PostgreSQL's quoted identifier, a quote inside written twice) is one
// unit: a ")" or ", " inside it neither closes the list nor splits a name. Names keep their quotes
// and blanks exactly as written; a trailing ", " adds no empty name; the 256th name is cut cleanly
// before the next ", ".
int cut_column_names(char *line, size_t len, char *names[MAX_COLS]);

// The table name of a header line already cut by cut_column_names: from its sixth byte (after
// "COPY ") to the first blank outside double quotes, or the end, at most TABLE_NAME_MAX bytes;
// "table" when that is empty. `out` holds TABLE_NAME_MAX + 1 bytes.
void table_name_of(const char *line, char *out);

// Whether the rows are all counted, or the count goes on.
enum StatusCount { STATUS_COUNTED, STATUS_COUNTING };

// The header bar's status text: "<name>   —   <rows> rows", or while the rows are still being
// counted "<name>   —   counting… <rows> rows", truncated to STATUS_LEN bytes.
void format_status(char *status, const char *name, int32_t rows, StatusCount count);
