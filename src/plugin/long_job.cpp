// The job's record lives on the stack of run_job, and the thread that runs the window points at it
// while the work runs. Not a window property: job_note is asked at every notification the grid
// sends, and under Wine a window property is a round trip to the server.
#include "plugin/long_job.h"

#include <atomic>

#include "base/stop.h"
#include "plugin/viewer_record.h"
#include "plugin/viewer_window.h"

namespace {

struct Job {
    HWND window;
    void (*work)(void *arg);
    void *arg;
    const char *note;
    std::atomic<int> stop;
    bool gave_up; // the work saw the stop and gave up part of the way
    HANDLE thread;
};

// The work the window thread waits for: one at a time a thread, since the waiting answers no
// input that could start more.
thread_local Job *t_job = nullptr;

Job *job_of(HWND viewer_window) {
    return t_job && t_job->window == viewer_window ? t_job : nullptr;
}

DWORD WINAPI job_thread(void *param) {
    Job *job = static_cast<Job *>(param);
    stop_watch(&job->stop);
    job->work(job->arg);
    job->gave_up = stop_seen();
    stop_watch(nullptr);
    return 0;
}

// One round of what the window's thread answers while the work runs; returns whether the grid
// missed a paint.
bool answer_meanwhile(Job *job, HWND grid) {
    MSG m;
    while (PeekMessageW(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE))
        if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) job->stop.store(1);
    while (PeekMessageW(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    // A window that paints without validating would ask again at once: a few rounds at most.
    bool missed = false;
    for (int i = 0; i < 32 && PeekMessageW(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
        if (grid && (m.hwnd == grid || IsChild(grid, m.hwnd))) {
            ValidateRect(m.hwnd, nullptr);
            missed = true;
        } else {
            DispatchMessageW(&m);
        }
    }
    return missed;
}

} // namespace

JobEnd run_job(HWND viewer_window, uint64_t bytes, const char *note, void (*work)(void *arg),
               void *arg) {
    if (t_job) return JOB_REFUSED;
    Job job = {viewer_window, work, arg, note, {0}, false, nullptr};
    if (bytes >= JOB_THREAD_BYTES)
        job.thread = CreateThread(nullptr, 0, job_thread, &job, 0, nullptr);
    if (!job.thread) {
        work(arg);
        return JOB_DONE;
    }
    t_job = &job;
    const Viewer *viewer = viewer_of(viewer_window);
    HWND grid = viewer ? static_cast<HWND>(viewer->grid) : nullptr;
    RedrawWindow(viewer_window, nullptr, nullptr, RDW_INVALIDATE);
    // What is queued already is answered first (an Escape typed ahead stops the work at once);
    // then the wait is for new messages only, so that those left queued (posted ones) do not
    // wake it again and again.
    bool grid_missed = false;
    do grid_missed |= answer_meanwhile(&job, grid);
    while (MsgWaitForMultipleObjects(1, &job.thread, FALSE, INFINITE, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1);
    WaitForSingleObject(job.thread, INFINITE);
    CloseHandle(job.thread);
    t_job = nullptr;
    if (IsWindow(viewer_window)) {
        InvalidateRect(viewer_window, nullptr, FALSE);
        if (grid_missed && IsWindow(grid)) InvalidateRect(grid, nullptr, FALSE);
    }
    return job.gave_up || !IsWindow(viewer_window) ? JOB_STOPPED : JOB_DONE;
}

bool job_runs_on_this_thread() {
    return t_job != nullptr;
}

const char *job_note(HWND viewer_window) {
    const Job *job = job_of(viewer_window);
    return job ? job->note : nullptr;
}

void stop_job(HWND viewer_window) {
    Job *job = job_of(viewer_window);
    if (!job || !job->thread) return;
    job->stop.store(1);
    WaitForSingleObject(job->thread, INFINITE);
}

HWND viewer_window_of(HWND child) {
    for (HWND w = child; w; w = GetParent(w))
        if (viewer_of_viewer_window(w)) return w;
    return nullptr;
}
