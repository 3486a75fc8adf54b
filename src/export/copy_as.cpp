// The selection walked once, row by row in the grid's order, each value decoded only when it
// holds an escape, and handed to the chosen format's writer.
#include "export/copy_as.h"

#include "base/mem.h"
#include "export/export_job.h"
#include "export/identifier.h"
#include "grid/shown_rows.h"

CellValue job_column_name(ExportJob *job, int32_t col) {
    job->scratch.len = 0;
    add_column_name(&job->scratch, job->viewer, col);
    return {job->scratch.data, job->scratch.len, false, false};
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

static int build(const Viewer *viewer, const ColumnType *types, CopyFormat format, StrBuf *out,
                 bool prepared) {
    if (!prepared) out->data = nullptr;
    const FormatWriter *writer = writer_of(format);
    if (!writer || shown_row_count(viewer) <= 0 || viewer->col_count <= 0) {
        if (prepared) sb_drop(out); // freed when it returns 0, as the caller is promised
        return 0;
    }
    ExportJob job{};
    job.viewer = viewer;
    job.types = types;
    job.sel = selection_rect(viewer);
    job.out = out;
    if (!prepared && !sb_init(out)) return 0;
    if (!sb_init(&job.fixed) || !sb_init(&job.scratch)) job.failed = true;
    if (!job.failed) writer->begin(&job);
    if (!job.failed) writer->rows(&job);
    if (!job.failed) writer->end(&job);
    const bool failed = job.failed || job.fixed.failed || job.scratch.failed || out->failed;
    export_job_free(&job);
    if (failed) {
        sb_drop(out);
        return 0;
    }
    return 1;
}

int copy_as(const Viewer *viewer, const ColumnType *types, CopyFormat format, StrBuf *out) {
    return build(viewer, types, format, out, false);
}

int copy_as_into(const Viewer *viewer, const ColumnType *types, CopyFormat format, StrBuf *out) {
    return build(viewer, types, format, out, true);
}
