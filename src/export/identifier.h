// Column names as a reader of another format wants them: the identifier's own text, or for a
// column the header names not, the name PostgreSQL gives such a column.
#pragma once

#include "base/strbuf.h"
#include "document/viewer.h"

#include <stdint.h>

// Appends the name a column name as the COPY header line writes it stands for: a double-quoted
// identifier without its quotes, a doubled quote inside becoming one ("Order Id" gives Order Id,
// "say ""hi""" gives say "hi"); any other name as written. Bytes after a closing quote, which
// the server never writes, are kept as written. May reallocate out's data.
void add_unquoted_name(StrBuf *out, const char *written);

// The name the header line writes for column `col` (quotes and all), or null when it names none
// there: a header without names, whose columns come from the first row; a name left empty (or a
// quoted one standing for nothing); a column past the MAX_COLS name slots.
const char *column_written_name(const Viewer *viewer, int32_t col);

// Appends the name of column `col` (0 or more) as the copy formats write it: the name the header
// line writes, unquoted (add_unquoted_name); for a column it names not, PostgreSQL's own name for
// the col + 1-th column of a VALUES list, "column1", "column2", ..., which no two columns share.
void add_column_name(StrBuf *out, const Viewer *viewer, int32_t col);
