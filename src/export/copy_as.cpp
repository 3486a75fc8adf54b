// The selection walked once, row by row in the grid's order, each value decoded only when it
// holds an escape, and handed to the chosen format's writer.
#include "export/copy_as.h"

#include "base/mem.h"
#include "export/export_job.h"
#include "export/field_value.h"
#include "export/identifier.h"
#include "export/row_fields.h"
#include "grid/cells.h"
#include "grid/shown_rows.h"

CellValue job_column_name(ExportJob *job, int32_t col) {
    job->scratch.len = 0;
    add_unquoted_name(&job->scratch, column_title(job->viewer, col));
    return {job->scratch.data, job->scratch.len, false};
}

int job_alloc_fixed_ends(ExportJob *job) {
    const size_t columns = static_cast<size_t>(job->sel.c1 - job->sel.c0 + 1);
    job->fixed_ends = static_cast<size_t *>(mem_alloc(columns * sizeof(size_t)));
    if (!job->fixed_ends) job->failed = true;
    return job->fixed_ends != nullptr;
}

static const FormatWriter *writer_of(CopyFormat format) {
    switch (format) {
    case COPY_CSV: return &CSV_WRITER;
    case COPY_SQL_INSERT: return &SQL_INSERT_WRITER;
    case COPY_JSON: return &JSON_WRITER;
    case COPY_MARKDOWN: return &MARKDOWN_WRITER;
    }
    return nullptr;
}

static void export_job_free(ExportJob *job) {
    sb_drop(&job->fixed);
    sb_drop(&job->scratch);
    mem_free(job->fixed_ends);
    job->fixed_ends = nullptr;
}

// The next selected field's value; escaped fields are decoded into the job's scratch.
static CellValue next_value(ExportJob *job, RowFields *walk) {
    const char *raw = nullptr;
    size_t len = 0;
    if (!row_fields_next(walk, &raw, &len)) return {"", 0, true};
    if (!walk->escaped) return {raw, len, false};
    if (field_is_null(raw, len)) return {"", 0, true};
    job->scratch.len = 0;
    value_decode(raw, len, &job->scratch);
    if (job->scratch.failed) job->failed = true;
    return {job->scratch.data, job->scratch.len, false};
}

static void add_rows(ExportJob *job, const FormatWriter *writer) {
    const SelectionRect sel = job->sel;
    for (int32_t r = sel.r0; r <= sel.r1 && !job->failed && !job->out->failed; ++r) {
        writer->row_begin(job, r == sel.r0);
        RowFields walk;
        row_fields_start(job->viewer, r, sel.c0, &walk);
        for (int32_t c = sel.c0; c <= sel.c1; ++c)
            writer->cell(job, c - sel.c0, job_kind(job, c), next_value(job, &walk));
        writer->row_end(job);
    }
}

int copy_as(const Viewer *viewer, const ColumnType *types, CopyFormat format, StrBuf *out) {
    out->data = nullptr;
    const FormatWriter *writer = writer_of(format);
    if (!writer || shown_row_count(viewer) <= 0 || viewer->col_count <= 0) return 0;
    ExportJob job{};
    job.viewer = viewer;
    job.types = types;
    job.sel = selection_rect(viewer);
    job.out = out;
    if (!sb_init(out)) return 0;
    if (!sb_init(&job.fixed) || !sb_init(&job.scratch)) job.failed = true;
    if (!job.failed) writer->begin(&job);
    add_rows(&job, writer);
    if (!job.failed) writer->end(&job);
    const bool failed = job.failed || job.fixed.failed || job.scratch.failed || out->failed;
    export_job_free(&job);
    if (failed) {
        sb_drop(out);
        return 0;
    }
    return 1;
}
