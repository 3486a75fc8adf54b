// The sums job: the selection's sums over a copy of the record on the work thread, kept for the
// status line on the window thread.
#include "plugin/sums_job.h"

#include <stdlib.h>

#include "grid/cursor.h"
#include "plugin/long_job.h"
#include "plugin/value_view.h"
#include "plugin/viewer_window.h"
#include "work/selection_status.h"

namespace {

// `from` is a copy of the record (work/job.h); `sums` the job's own until handed over. `rect` is
// the selection it sums; `superseded` says that it was stopped because the selection changed, not
// by Escape.
struct SumsJob {
    Job job;
    Viewer from;
    SelectionRect rect;
    KeptSums sums;
    bool made;
    bool superseded;
};

void sums_run(Job *job) {
    SumsJob *j = reinterpret_cast<SumsJob *>(job);
    j->made = sums_work_out(&j->from, &j->sums) == 1;
}

bool same_rows(const Viewer *a, const Viewer *b) {
    return a->order.shown == b->order.shown && a->order.shown_count == b->order.shown_count &&
           (a->order.shown || a->row_count == b->row_count);
}

void sums_hand_over(Job *job, void *to) {
    SumsJob *j = reinterpret_cast<SumsJob *>(job);
    HWND window = static_cast<HWND>(to);
    Viewer *viewer = viewer_of_viewer_window(window);
    if (!viewer || !viewer->work || !j->made || !same_rows(viewer, &j->from)) return;
    viewer->work->sums = j->sums;
}

// Stopped by Escape: the same cells are not summed again until the selection changes.
void sums_gave_up(Job *job, void *to) {
    SumsJob *j = reinterpret_cast<SumsJob *>(job);
    Viewer *viewer = viewer_of_viewer_window(static_cast<HWND>(to));
    if (viewer && viewer->work && !j->superseded) sums_refuse(&viewer->work->sums, j->rect);
}

void sums_discard(Job *job) {
    free(job);
}

const JobKind SUMS_JOB = {sums_run, sums_hand_over, sums_gave_up, sums_discard};

bool grid_in_view(HWND window, const Viewer *viewer) {
    return viewer->tab == TAB_DATA && !value_view_open(value_view_of(window));
}

// A sums job still summing cells the selection no longer holds is stopped: its answer would be
// thrown away.
void stop_superseded(const Viewer *viewer) {
    Job *job = viewer->work->job.job;
    if (!job || job->kind != &SUMS_JOB) return;
    SumsJob *j = reinterpret_cast<SumsJob *>(job);
    const SelectionRect now = selection_rect(viewer);
    if (j->superseded || (now.r0 == j->rect.r0 && now.r1 == j->rect.r1 && now.c0 == j->rect.c0 &&
                          now.c1 == j->rect.c1))
        return;
    j->superseded = true;
    job_cancel(&viewer->work->job);
}

} // namespace

const char *status_sums(HWND window, Viewer *viewer) {
    ViewerWork *work = viewer->work;
    if (!work || !grid_in_view(window, viewer)) return nullptr;
    stop_superseded(viewer);
    switch (sums_when(viewer, &work->sums)) {
    case SUMS_NOW: sums_work_out(viewer, &work->sums); break;
    case SUMS_LATER: SetTimer(window, SUMS_TIMER, SUMS_WAIT_MS, nullptr); break;
    default: break;
    }
    return sums_shown(viewer, &work->sums);
}

void sums_timer(HWND window, Viewer *viewer) {
    KillTimer(window, SUMS_TIMER);
    ViewerWork *work = viewer->work;
    if (!work || work->job.job || !grid_in_view(window, viewer) ||
        sums_when(viewer, &work->sums) != SUMS_LATER)
        return;
    SumsJob *j = static_cast<SumsJob *>(calloc(1, sizeof(SumsJob)));
    if (!j) return;
    job_init(&j->job, &SUMS_JOB, "summing the selection\xE2\x80\xA6");
    j->job.background = true;
    j->from = *viewer;
    j->rect = selection_rect(viewer);
    start_job(window, &j->job, JOB_THREAD_BYTES, false);
}
