// What copy_as shares with each format: the copy in progress and the writer a format provides.
#pragma once

#include "base/strbuf.h"
#include "document/column_types.h"
#include "document/viewer.h"
#include "export/byte_marks.h"
#include "export/field_value.h"
#include "export/row_fields.h"
#include "grid/cursor.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

// A cell's value: its decoded bytes, or null (a NULL field or one the row lacks). `clean` tells
// that the value holds none of the bytes its format's `stops` marks; when false it may or may not.
struct CellValue {
    const char *text;
    size_t len;
    bool null;
    bool clean;
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

// The name the copy formats give column col (identifier.h: add_column_name), in `scratch` until the
// next use of it.
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

// A format, as copy_as calls it: `begin` once, `rows` for the selection's rows (job_add_rows),
// then `end`, each appending to job->out.
struct FormatWriter {
    void (*begin)(ExportJob *job);
    void (*rows)(ExportJob *job);
    void (*end)(ExportJob *job);
};

extern const FormatWriter CSV_WRITER;
extern const FormatWriter SQL_INSERT_WRITER;
extern const FormatWriter JSON_WRITER;
extern const FormatWriter MARKDOWN_WRITER;

// The next selected field's value from the walk, its end found in one pass with the test for the
// bytes `stops` marks; a field with an escape is decoded into the job's scratch.
inline CellValue job_next_value(ExportJob *job, const ByteMarks &stops, RowFields *walk) {
    const char *raw = nullptr;
    size_t len = 0;
    bool clean = false;
    if (!row_fields_next_clean(walk, stops, &raw, &len, &clean)) return {"", 0, true, true};
    if (clean || !memchr(raw, '\\', len)) return {raw, len, false, clean};
    if (field_is_null(raw, len)) return {"", 0, true, true};
    job->scratch.len = 0;
    value_decode(raw, len, &job->scratch);
    if (job->scratch.failed) job->failed = true;
    return {job->scratch.data, job->scratch.len, false, false};
}

// The selection's rows in the grid's order, for a format given as a type whose static members
// are: STOPS, the bytes it writes differently plus the tab and the backslash (so that one pass
// over a field finds its end and tells whether it is clean); row_begin(job, first) (first: the
// selection's first row); cell(job, i, kind, value) for each selected column (i from 0, kind
// the column's); row_end(job). A template, so that each format's cell writer is inlined into the
// loop that runs once per cell. Stops after a row once memory has run out.
template <typename Format> void job_add_rows(ExportJob *job) {
    const SelectionRect sel = job->sel;
    for (int32_t r = sel.r0; r <= sel.r1 && !job->failed && !job->out->failed; ++r) {
        Format::row_begin(job, r == sel.r0);
        RowFields walk;
        row_fields_start(job->viewer, r, sel.c0, &walk);
        for (int32_t c = sel.c0; c <= sel.c1; ++c) {
            const CellValue value = job_next_value(job, Format::STOPS, &walk);
            Format::cell(job, c - sel.c0, job_kind(job, c), value);
        }
        Format::row_end(job);
    }
}
