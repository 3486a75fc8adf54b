// The viewer window's job slot: a finished job's notice is a posted message, so a result is always
// taken over from the window's own message loop, never from inside a frame of the module.
#include "plugin/long_job.h"

#include <stdlib.h>

#include "plugin/notice.h"
#include "plugin/viewer_messages.h"
#include "plugin/viewer_record.h"
#include "plugin/viewer_window.h"

namespace {

ViewerWork *work_of(HWND window) {
    Viewer *viewer = viewer_of_viewer_window(window);
    return viewer ? viewer->work : nullptr;
}

// On the job's thread: a message, which the window takes up when its thread reads its queue.
void tell_window(void *ctx) {
    PostMessageW(static_cast<HWND>(ctx), WM_JOB_DONE, 0, 0);
}

} // namespace

bool work_create(HWND window, Viewer *viewer) {
    ViewerWork *work = static_cast<ViewerWork *>(calloc(1, sizeof(ViewerWork)));
    if (!work) return false;
    work->job.notify = tell_window;
    work->job.ctx = window;
    work->window = window;
    viewer->work = work;
    return true;
}

void work_destroy(Viewer *viewer) {
    ViewerWork *work = viewer ? viewer->work : nullptr;
    if (!work) return;
    job_stop(&work->job);
    count_end(&work->count);
    row_filter_free(&work->filter);
    free(work);
    viewer->work = nullptr;
}

JobStart start_job(HWND window, Job *job, uint64_t bytes, bool replaces) {
    ViewerWork *work = work_of(window);
    if (!work) {
        job->kind->discard(job);
        return JOB_BUSY;
    }
    if (work->job.job && ((replaces && work->job.job->kind == job->kind) ||
                          (work->job.job->background && !job->background)))
        job_stop(&work->job);
    const bool was_running = work->job.job != nullptr;
    const JobStart start = job_start(&work->job, job, bytes >= JOB_THREAD_BYTES, window);
    if (start == JOB_BUSY && was_running) notice_show(window, "other work runs: Escape cancels it");
    if (start == JOB_STARTED) InvalidateRect(window, nullptr, FALSE); // the status names the work
    return start;
}

const char *running_job_note(HWND window) {
    ViewerWork *work = work_of(window);
    return work ? job_note(&work->job) : nullptr;
}

const JobKind *running_job_kind(HWND window) {
    ViewerWork *work = work_of(window);
    return work && work->job.job ? work->job.job->kind : nullptr;
}

bool cancel_job(HWND window) {
    ViewerWork *work = work_of(window);
    if (!work || !work->job.job) return false;
    job_cancel(&work->job);
    return true;
}

void stop_job(HWND window) {
    if (ViewerWork *work = work_of(window)) job_stop(&work->job);
}

void stop_job_reading(HWND window, const void *block) {
    ViewerWork *work = work_of(window);
    if (work && job_reads(&work->job, block)) job_stop(&work->job);
}

void job_done(HWND window) {
    ViewerWork *work = work_of(window);
    if (!work) return;
    if (job_finish(&work->job, window, nullptr) != JOB_NONE && IsWindow(window))
        InvalidateRect(window, nullptr, FALSE);
}

HWND viewer_window_of(HWND child) {
    for (HWND w = child; w; w = GetParent(w))
        if (viewer_of_viewer_window(w)) return w;
    return nullptr;
}
