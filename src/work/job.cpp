// The job slot: a job run on a thread of its own, marked finished there, handed over here.
#include "work/job.h"

#include "base/stop.h"

void job_init(Job *job, const JobKind *kind, const char *note) {
    job->kind = kind;
    job->note = note;
    job->stop.store(0);
    job->gave_up = false;
    job->reads = nullptr;
    job->background = false;
}

namespace {

// The work itself, with its stop flag watched on whichever thread runs it.
void run_watched(Job *job) {
    stop_watch(&job->stop);
    job->kind->run(job);
    job->gave_up = stop_seen();
    stop_watch(nullptr);
}

// The result handed over, or the stop said, then the job freed.
void end(Job *job, void *to) {
    if (!job->gave_up)
        job->kind->hand_over(job, to);
    else if (job->kind->gave_up)
        job->kind->gave_up(job, to);
    job->kind->discard(job);
}

void work_thread(void *arg) {
    JobSlot *slot = static_cast<JobSlot *>(arg);
    run_watched(slot->job);
    slot->finished.store(1, std::memory_order_release);
    if (slot->notify) slot->notify(slot->ctx);
}

} // namespace

JobStart job_start(JobSlot *slot, Job *job, bool on_thread, void *to) {
    if (slot->job) {
        job->kind->discard(job);
        return JOB_BUSY;
    }
    slot->job = job;
    slot->finished.store(0);
    if (on_thread) {
        slot->thread = thread_start(work_thread, slot, THREAD_NORMAL);
        if (slot->thread) return JOB_STARTED;
    }
    run_watched(job);
    slot->job = nullptr;
    end(job, to);
    return JOB_RAN;
}

JobEnd job_finish(JobSlot *slot, void *to, const JobKind **kind) {
    if (kind) *kind = nullptr;
    if (!slot->job || !slot->finished.load(std::memory_order_acquire)) return JOB_NONE;
    thread_join(slot->thread);
    slot->thread = nullptr;
    Job *job = slot->job;
    slot->job = nullptr;
    slot->finished.store(0);
    if (kind) *kind = job->kind;
    const bool gave_up = job->gave_up;
    end(job, to);
    return gave_up ? JOB_GAVE_UP : JOB_HANDED;
}

void job_cancel(JobSlot *slot) {
    if (slot->job) slot->job->stop.store(1);
}

void job_stop(JobSlot *slot) {
    if (!slot->job) return;
    slot->job->stop.store(1);
    thread_join(slot->thread);
    slot->thread = nullptr;
    slot->job->kind->discard(slot->job);
    slot->job = nullptr;
    slot->finished.store(0);
}

bool job_reads(const JobSlot *slot, const void *block) {
    return slot->job && block && slot->job->reads == block;
}

const char *job_note(const JobSlot *slot) {
    return slot->job ? slot->job->note : nullptr;
}
