// The copy job: the text built on the work thread, put on the clipboard on the window thread.
#include "plugin/copy_jobs.h"

#include <stdlib.h>

#include "grid/cursor.h"
#include "grid/shown_rows.h"
#include "plugin/clipboard.h"
#include "plugin/long_job.h"
#include "plugin/notice.h"

namespace {

// The grid's selection read from `from`, a copy of the record; or with `doc`, a stretch of a text.
struct CopyJob {
    Job job;
    Viewer from;
    bool titles, as_format;
    CopyFormat format;
    const TextDoc *doc;
    size_t text_from, text_to;
    HWND owner;
    HGLOBAL mem;
    ClipResult result;
};

void copy_run(Job *job) {
    CopyJob *c = reinterpret_cast<CopyJob *>(job);
    c->result = c->doc ? clip_build_text(c->doc, c->text_from, c->text_to, &c->mem)
                       : clip_build_grid(&c->from, c->titles, c->as_format, c->format, &c->mem);
}

void copy_hand_over(Job *job, void *to) {
    CopyJob *c = reinterpret_cast<CopyJob *>(job);
    if (c->result == CLIP_COPIED) {
        clip_put(c->owner, c->mem);
        c->mem = nullptr;
    } else if (c->result == CLIP_TOO_LARGE) {
        notice_show(static_cast<HWND>(to),
                    "the selection is too large to copy (over 256 MiB as text)");
    }
}

void copy_discard(Job *job) {
    CopyJob *c = reinterpret_cast<CopyJob *>(job);
    if (c->mem) GlobalFree(c->mem);
    free(c);
}

CopyJob *new_copy(HWND owner) {
    CopyJob *c = static_cast<CopyJob *>(calloc(1, sizeof(CopyJob)));
    if (!c) return nullptr;
    job_init(&c->job, &COPY_JOB, "copying\xE2\x80\xA6");
    c->owner = owner;
    c->result = CLIP_FAILED;
    return c;
}

} // namespace

const JobKind COPY_JOB = {copy_run, copy_hand_over, nullptr, copy_discard};

JobStart copy_grid_job(HWND window, const Viewer *viewer, bool titles, bool as_format,
                       CopyFormat format) {
    if (shown_row_count(viewer) <= 0 || viewer->col_count <= 0) return JOB_RAN;
    CopyJob *c = new_copy(static_cast<HWND>(viewer->grid));
    if (!c) return JOB_RAN;
    c->from = *viewer;
    c->titles = titles;
    c->as_format = as_format;
    c->format = format;
    // What the copy may read: the selected rows' share of the file, as near as the row count
    // tells it without walking them.
    const SelectionRect sel = selection_rect(viewer);
    const uint64_t rows = static_cast<uint64_t>(sel.r1 - sel.r0) + 1;
    const uint64_t bytes =
        static_cast<uint64_t>(viewer->buf_len) / static_cast<uint64_t>(viewer->row_count) * rows;
    return start_job(window, &c->job, bytes, false);
}

JobStart copy_text_job(HWND window, HWND owner, const TextDoc *doc, size_t from, size_t to) {
    CopyJob *c = new_copy(owner);
    if (!c) return JOB_RAN;
    c->doc = doc;
    c->job.reads = doc;
    c->text_from = from;
    c->text_to = to;
    return start_job(window, &c->job, to > from ? to - from : 0, false);
}
