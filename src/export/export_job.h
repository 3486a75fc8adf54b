// What copy_as shares with each format: the copy in progress and the writer a format provides.
#pragma once

#include "base/strbuf.h"
#include "document/column_types.h"
#include "document/viewer.h"
#include "grid/cursor.h"

#include <stddef.h>
#include <stdint.h>

// A cell's value: its decoded bytes, or null (a NULL field or one the row lacks).
struct CellValue {
    const char *text;
    size_t len;
    bool null;
};

// One copy in progress, on copy_as's stack.
//
// `out` is the caller's text being built. `fixed` holds texts a format composes once per copy
// and repeats (the INSERT head, the JSON keys); `fixed_ends`, when a format allocates it, holds
// for each selected column the end of its text in `fixed`. `scratch` holds one decoded value or
// name at a time. copy_as frees `fixed`, `fixed_ends` and `scratch` (export_job_free) whatever
// happened. `failed` is set when memory ran out anywhere but in `out`, whose own `failed` tells
// the rest.
struct ExportJob {
    const Viewer *viewer;
    const ColumnType *types;
    SelectionRect sel;
    StrBuf *out;
    StrBuf fixed;
    size_t *fixed_ends;
    StrBuf scratch;
    bool failed;
};

// The kind of the viewer's column col.
inline ColumnKind job_kind(const ExportJob *job, int32_t col) {
    return job->types ? job->types[col].kind : KIND_TEXT;
}

// The name column col stands for (identifier.h), in `scratch` until the next use of it.
CellValue job_column_name(ExportJob *job, int32_t col);

// Allocates fixed_ends for the selected columns; 0 (and `failed` set) when it cannot be had.
int job_alloc_fixed_ends(ExportJob *job);

// The fixed text of selected column i (0 for the first selected), as job_alloc_fixed_ends and
// the format laid them out.
inline const char *job_fixed_text(const ExportJob *job, int32_t i, size_t *len) {
    const size_t start = i > 0 ? job->fixed_ends[i - 1] : 0;
    *len = job->fixed_ends[i] - start;
    return job->fixed.data + start;
}

// A format, as the steps copy_as takes through the selection: `begin` once, then for each row
// `row_begin` (first: the selection's first row), `cell` for each selected column (i from 0,
// kind the column's), `row_end`; then `end`. Each appends to job->out.
struct FormatWriter {
    void (*begin)(ExportJob *job);
    void (*row_begin)(ExportJob *job, bool first);
    void (*cell)(ExportJob *job, int32_t i, ColumnKind kind, CellValue value);
    void (*row_end)(ExportJob *job);
    void (*end)(ExportJob *job);
};

extern const FormatWriter CSV_WRITER;
extern const FormatWriter SQL_INSERT_WRITER;
extern const FormatWriter JSON_WRITER;
extern const FormatWriter MARKDOWN_WRITER;
