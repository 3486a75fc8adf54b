// A sort or a filter as a job (work/job.h): the order made on a copy of the record, beside the one
// the grid shows, and installed on the window thread.
#pragma once

#include "work/grid_order.h"
#include "work/job.h"
#include "work/row_filter.h"

// The job's record. `from` is a copy of the record as it stood when the job was asked for: its
// blocks are the record's, which stay unchanged while the job runs (nothing else changes the
// record's order; a reload or close stops the job first), and it is only read. `built` is the
// job's own until installed. `filter` is the job's own too: the plan's condition is its `all`, so
// that what the build reads lives as long as the job and changes with nothing else; the window
// thread may take it over once the order is installed.
struct OrderJob {
    Job job;
    Viewer from;
    OrderPlan plan;
    RowFilter filter;
    OrderCursor how;
    int32_t cursor_record, anchor_record;
    BuiltOrder built;
    BuildEnd end;
    bool installed; // set by the hand-over
    int tag;        // what the caller asked it for; the job itself never reads it
};

// A job that makes the order `plan` asks for from the record as it stands (on the window thread),
// the cursor following as `how` says; null when its memory cannot be had. `note` outlives it.
OrderJob *order_job_new(const Viewer *viewer, const OrderPlan *plan, OrderCursor how,
                        const char *note);

// The job takes `filter` over (leaving it empty) and filters by it: the plan's filter becomes the
// filter's (row_filter_spec), its `filter_kept` left as it was.
void order_job_take_filter(OrderJob *j, RowFilter *filter);

// The kind's three functions (JobKind), for kinds that add to them.
void order_job_run(Job *job);
// `to` is the live record. Installs the order made unless the record's order is no longer the one
// it was made from (then it is discarded).
void order_job_hand_over(Job *job, void *to);
void order_job_discard(Job *job);

extern const JobKind ORDER_JOB;
