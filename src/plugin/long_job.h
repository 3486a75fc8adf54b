// Long work on a viewer's document (a sort, a filter, a search through a big file) run in a thread
// of its own while the window's thread waits for it, so that the file manager around the viewer
// stays answered and Escape can stop the work.
//
// While the work runs, the window's thread answers the messages other threads send it and paints
// every window but the grid, whose rows the work may be changing (it is painted afresh after). Of
// the keyboard and the mouse it takes Escape, which asks the work to stop (base/stop.h), and drops
// the rest. Posted messages wait for the work's end. The status line shows the work's note and
// "Escape cancels" meanwhile.
#pragma once

#include <windows.h>

#include <stdint.h>

enum JobEnd {
    JOB_DONE,    // the work ran whole
    JOB_STOPPED, // the work gave up at Escape, or its window went meanwhile
    JOB_REFUSED, // work already runs for the window: this work did not run
};

// Runs work(arg) for the viewer window. Work over fewer than JOB_THREAD_BYTES (the bytes it may
// read) runs at once on this thread, as does any work when no thread can be had. `note` is UTF-8
// and must outlive the call.
enum : uint64_t { JOB_THREAD_BYTES = 32u << 20 };
JobEnd run_job(HWND viewer_window, uint64_t bytes, const char *note, void (*work)(void *arg),
               void *arg);

// The note of the work running for the window, or null when none runs.
const char *job_note(HWND viewer_window);

// Whether work runs for some window of the calling thread: while it does, frames of the calling
// thread below the caller may hold that window's document.
bool job_runs_on_this_thread();

// Asks the window's work to stop and waits until it has; then its window may go. Nothing when no
// work runs.
void stop_job(HWND viewer_window);

// The viewer window a child (the grid, a text view, the find bar) belongs to, or null.
HWND viewer_window_of(HWND child);
