// Long work over a viewer's document (a sort, a filter, a search, a copy) run in a thread of its
// own and handed over to the window's thread when it ends, so that neither thread ever writes what
// the other reads.
//
// The protocol, one job at a time per viewer (its JobSlot):
//   1. The window thread makes a Job: its inputs are copies (a copy of the record,
//   work/grid_order.h)
//      or blocks that stay unchanged while it runs; everything it makes is the job's own.
//   2. job_start runs it on a thread of its own (or at once on the calling thread, for work too
//      small to be worth one). The work thread writes only into the job; when the work returns, it
//      marks the slot finished and tells the window thread (the slot's `notify`, a posted message
//      on Windows: never a call into the window).
//   3. Told, the window thread calls job_finish: it waits for the thread (which has returned by
//      then), hands the job's result over (JobKind::hand_over) unless the work gave up, and frees
//      the job. So the record changes only on the window thread, and only whole.
//   4. Anything that would free or change what a job reads (a reload, a close) first calls
//      job_stop, which asks the work to stop (base/stop.h; every long loop looks every few
//      megabytes or tens of thousands of rows) and waits for it: milliseconds.
#pragma once

#include "base/thread.h"

#include <atomic>

struct Job;

// What a kind of job does. Each function gets the job (a struct that begins with a Job).
struct JobKind {
    // On the work thread (or the calling one): makes the result from the job's inputs.
    void (*run)(Job *job);
    // On the window thread, once run has returned whole: takes the result over into `to` (the
    // record, or whatever the starter named). Whatever it leaves in the job, discard frees.
    void (*hand_over)(Job *job, void *to);
    // On the window thread, when the work gave up part of the way (it was asked to stop): says so
    // where the user asked for it. May be null. Not called for a job stopped by job_stop.
    void (*gave_up)(Job *job, void *to);
    // Frees the job and what it still holds; called last in every case.
    void (*discard)(Job *job);
};

struct Job {
    const JobKind *kind;
    const char *note;      // what runs, for the status line ("sorting…"); outlives the job
    std::atomic<int> stop; // set to ask the work to stop
    bool gave_up;          // the work saw the stop and gave up part of the way
    // A block the work reads that is no copy and belongs to someone else (a text view's text), or
    // null: its owner stops the job before it changes it.
    const void *reads;
    // Work the user did not ask for by a command (the selection's sums, worked out once the keys
    // stop): any job asked for meanwhile stops it first rather than being refused.
    bool background;
};

// Makes a job's common part (the rest is the kind's).
void job_init(Job *job, const JobKind *kind, const char *note);

// The window thread's slot for a viewer's one job. Zeroed, it is empty; `notify` and `ctx` are
// set once by its owner.
struct JobSlot {
    Job *job;       // the job running or finished, not yet handed over; the slot's
    Thread *thread; // its thread, or null while none runs
    std::atomic<int> finished;
    void (*notify)(void *ctx); // called on the work thread once the work has returned
    void *ctx;
};

enum JobStart {
    JOB_STARTED, // runs on a thread of its own; its end comes through `notify`
    JOB_RAN,     // ran here and has been handed over (or discarded when it gave up)
    JOB_BUSY,    // another job holds the slot: this one was discarded without running
};

// Starts the job, which the slot then owns. On a thread when `on_thread` (and one can be had),
// else here and now, handed over to `to` at once.
JobStart job_start(JobSlot *slot, Job *job, bool on_thread, void *to);

// What became of a job.
enum JobEnd {
    JOB_NONE,    // no job had finished (a late notice of a job stopped since)
    JOB_HANDED,  // its result was handed over
    JOB_GAVE_UP, // it was stopped part of the way; its result was discarded
};

// On the window thread, when told the job finished: hands its result over to `to` (or discards it
// when it gave up) and empties the slot. `kind` (may be null) receives the kind of the job that
// ended.
JobEnd job_finish(JobSlot *slot, void *to, const JobKind **kind);

// Asks the running job to stop, without waiting: its end comes through `notify` as usual.
void job_cancel(JobSlot *slot);

// Asks the running job to stop and waits until it has; discards it, hands nothing over. The slot
// is empty afterwards.
void job_stop(JobSlot *slot);

// Whether the job in the slot reads `block` (Job::reads).
bool job_reads(const JobSlot *slot, const void *block);

// The note of the job in the slot, or null when none.
const char *job_note(const JobSlot *slot);
