// One cell's whole value, as the value view shows it.
#pragma once

#include "base/strbuf.h"
#include "document/column_types.h"
#include "document/viewer.h"

#include <stdint.h>

enum ValueShown {
    VALUE_NONE,      // no such cell: row or column outside the grid
    VALUE_NULL,      // the field is NULL ("\N"), or the row ends before it
    VALUE_TEXT,      // the decoded value
    VALUE_JSON,      // a json or jsonb value, indented
    VALUE_NOT_JSON,  // a json or jsonb column's value that is not valid JSON, decoded as stored
    VALUE_NO_MEMORY, // memory ran out
};

// The whole value of cell (row, col), row counted as the grid shows its rows: every COPY escape
// decoded (field_value.h), no length cut. VALUE_TEXT: `out` (initialised here, the caller's to
// sb_drop) holds it. Any other result: `out` holds nothing.
ValueShown cell_value(const Viewer *viewer, int32_t row, int32_t col, StrBuf *out);

// The same value for the value view: in a KIND_JSON column (types: col_count entries, or null
// for all KIND_TEXT) valid JSON comes indented (json_layout.h) as VALUE_JSON, and anything else
// decoded as stored as VALUE_NOT_JSON. Results and `out` as for cell_value.
ValueShown value_view_text(const Viewer *viewer, const ColumnType *types, int32_t row, int32_t col,
                           StrBuf *out);
