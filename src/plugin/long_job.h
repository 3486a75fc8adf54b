// Long work of a viewer window (a sort, a filter, a search, a copy) run as jobs (work/job.h): a
// job runs in a thread of its own while the window's thread goes on answering the file manager and
// painting the grid as it was, and its result is handed over when WM_JOB_DONE comes. Small work
// runs at once, the same way.
//
// One job at a time per viewer. A new sort or filter replaces one still running (which is stopped
// and dropped), as any job replaces work running in the background (Job::background); other work
// asked for meanwhile is refused, and the status line says so. Escape
// stops the job (it is not handed to the host then). Before the document or a text a job reads
// goes (a reload, a close, a tab's text replaced), the job is stopped and waited for.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "document/viewer.h"
#include "work/job.h"
#include "work/viewer_work.h"

// Work over fewer bytes than this (what it may read) runs at once on the window's thread.
enum : uint64_t { JOB_THREAD_BYTES = 32u << 20 };

// Makes the viewer's work record (viewer->work), its jobs told to `window`. Returns false when it
// cannot be had.
bool work_create(HWND window, Viewer *viewer);

// Stops the job and the count and frees the work record; safe when there is none.
void work_destroy(Viewer *viewer);

// Starts a job of the viewer window (`to` of its hand-over is the window). On a thread when
// `bytes` is JOB_THREAD_BYTES or more. With `replaces`, a job of the same kind still running is
// stopped first. A job refused (JOB_BUSY) was discarded, and the status line says why.
JobStart start_job(HWND window, Job *job, uint64_t bytes, bool replaces);

// The note of the job running for the window, or null when none runs.
const char *running_job_note(HWND window);

// The kind of the job running for the window, or null.
const JobKind *running_job_kind(HWND window);

// Asks the running job to stop; its end comes as usual. Returns whether a job was running.
bool cancel_job(HWND window);

// Stops the running job and waits for it; nothing is handed over.
void stop_job(HWND window);

// Stops the running job when it reads `block` (Job::reads): before its owner changes it.
void stop_job_reading(HWND window, const void *block);

// WM_JOB_DONE: hands the finished job's result over (or drops it when it gave up).
void job_done(HWND window);

// The viewer window a child (the grid, a text view, the find bar) belongs to, or null.
HWND viewer_window_of(HWND child);
