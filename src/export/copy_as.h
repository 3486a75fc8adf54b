// The grid's selection copied as CSV, SQL INSERT statements, JSON or a Markdown table.
#pragma once

#include "base/strbuf.h"
#include "document/column_types.h"
#include "document/viewer.h"

// Each format names the columns by the names the COPY header line writes for them, unquoted (in
// the INSERT statements' column list: as written); a column it names not is "column1",
// "column2", ... by its place, as PostgreSQL names a VALUES list's columns (export/identifier.h).
enum CopyFormat : int {
    // RFC 4180: a header line of the column names, then a line per row, CR LF ends; a field is
    // quoted when it holds a comma, quote, CR or LF, begins or ends with a blank or tab, is empty
    // or is "\." (which would end a COPY), quotes inside doubled; NULL is an empty unquoted field.
    // PostgreSQL's COPY ... FROM STDIN (FORMAT csv, HEADER) reads back the values, NULLs apart
    // from empty strings.
    COPY_CSV,
    // One "INSERT INTO table (columns) VALUES (...);" line per row, table and column names as the
    // COPY header line writes them, no column list when it names none of the selected columns
    // (the values then go to the table's columns in order); NULL as NULL; a number column's value
    // bare when it is a
    // plain decimal literal (not NaN, Infinity or a negative zero); everything else as a
    // standard-conforming string literal, quotes doubled, bytes as they are.
    COPY_SQL_INSERT,
    // An array of objects, one a line, keys the column names; NULL as null, a number column's
    // value as a JSON number when its text is one, t and f of a boolean column as true and false,
    // a json column's valid JSON embedded compactly, everything else a string. Control characters
    // are escaped and bytes that are not well-formed UTF-8 become U+FFFD, so the text is always
    // valid JSON.
    COPY_JSON,
    // A header row, a separator row (number columns right-aligned), a row per row; "\", "|" and
    // "<" escaped with a backslash so that no value splits a cell or becomes HTML, each line
    // break (LF, CR LF, CR) written as <br>, NULL as an empty cell.
    COPY_MARKDOWN,
};

// Builds the current selection (selection_rect's rows as the grid shows them, columns as
// numbered) in `format` into `out` (initialised here, the caller's to sb_drop), every value
// whole and decoded. A row that ends before a selected column gives NULL there. `types` holds
// col_count entries, or is null for all KIND_TEXT. Lines end in CR LF.
//
// Returns 1 when the whole text was built; 0 when there is nothing to copy (no rows or no
// columns), the format is unknown, or memory ran out, and then `out` holds nothing.
int copy_as(const Viewer *viewer, const ColumnType *types, CopyFormat format, StrBuf *out);

// The same text appended to `out`, which the caller has set up (a spilling StrBuf that takes the
// text a piece at a time, base/strbuf.h). Returns as copy_as; `out` is freed when it returns 0.
int copy_as_into(const Viewer *viewer, const ColumnType *types, CopyFormat format, StrBuf *out);
