// The summary job: column_summary_text over a copy of the record on the work thread, the text
// shown in the value view on the window thread.
#include "plugin/summary_job.h"

#include <stdlib.h>

#include "base/strbuf.h"
#include "grid/shown_rows.h"
#include "plugin/child_windows.h"
#include "plugin/long_job.h"
#include "plugin/notice.h"
#include "plugin/value_view.h"
#include "plugin/viewer_keys.h"
#include "plugin/viewer_window.h"
#include "query/column_summary.h"

namespace {

// `from` is a copy of the record (work/job.h); `text` is the job's own until handed over.
struct SummaryJob {
    Job job;
    Viewer from;
    int32_t col;
    StrBuf text;
    bool made;
};

void summary_run(Job *job) {
    SummaryJob *j = reinterpret_cast<SummaryJob *>(job);
    if (!sb_init(&j->text)) return;
    j->made = column_summary_text(&j->from, j->col, j->from.order.shown, shown_row_count(&j->from),
                                  &j->text) &&
              !j->text.failed;
}

void summary_hand_over(Job *job, void *to) {
    SummaryJob *j = reinterpret_cast<SummaryJob *>(job);
    HWND window = static_cast<HWND>(to);
    Viewer *viewer = viewer_of_viewer_window(window);
    // Shown in place of the grid, so only while the grid's tab is: a summary that ends after
    // another tab was chosen would otherwise cover that tab's text.
    if (!viewer || viewer->tab != TAB_DATA) return;
    if (!j->made) {
        notice_show(window, "not enough memory for the summary");
        return;
    }
    HWND view = value_view_made(window);
    const size_t len = j->text.len;
    if (!view || !value_view_show_summary(view, viewer, j->col, sb_take(&j->text), len)) return;
    reveal_value_view(window, viewer);
}

void summary_discard(Job *job) {
    SummaryJob *j = reinterpret_cast<SummaryJob *>(job);
    if (j->text.data) sb_drop(&j->text);
    free(j);
}

const JobKind SUMMARY_JOB = {summary_run, summary_hand_over, nullptr, summary_discard};

} // namespace

void ask_column_summary(HWND window, Viewer *viewer) {
    if (viewer->col_count <= 0 || viewer->tab != TAB_DATA) return;
    SummaryJob *j = static_cast<SummaryJob *>(calloc(1, sizeof(SummaryJob)));
    if (!j) return;
    job_init(&j->job, &SUMMARY_JOB, "summarising\xE2\x80\xA6");
    j->from = *viewer;
    j->col = viewer->cur_col >= 0 && viewer->cur_col < viewer->col_count ? viewer->cur_col : 0;
    // What the summary reads: the rows shown's share of the file, as near as the row count tells
    // it without walking them.
    const int32_t shown = shown_row_count(viewer);
    const uint64_t bytes = viewer->row_count > 0 ? static_cast<uint64_t>(viewer->buf_len) /
                                                       static_cast<uint64_t>(viewer->row_count) *
                                                       static_cast<uint64_t>(shown)
                                                 : 0;
    start_job(window, &j->job, bytes, false);
}
