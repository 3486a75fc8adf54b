// A viewer's long work: its one job slot and its count, both driven from the window thread, and
// what the window thread keeps to drive them.
#pragma once

#include "work/count_channel.h"
#include "work/job.h"
#include "work/row_filter.h"
#include "work/selection_status.h"

#include <stdint.h>

// What a viewer puts off while a menu of its own is open: its modal loop reads the window's
// messages, and a command picked from it must act on the rows the user saw when it opened.
enum : unsigned {
    PUT_OFF_JOB = 1,   // a finished job's result
    PUT_OFF_COUNT = 2, // the count's progress
};

// Owned by whoever plays the window (the Windows side, or a test): made when the viewer is, freed
// after job_stop and count_end have left nothing running (and `filter` freed: row_filter_free).
// Everything here but what the JobSlot and the CountChannel say of themselves is the window
// thread's alone.
struct ViewerWork {
    JobSlot job;
    CountChannel *count; // null once the count has ended (or never ran)
    void *window;        // the viewer window, told of the job's end and the count's progress
    uint64_t count_told; // when the count last told the window (the count's thread's own)
    // The filter the order shown was made with (when the record's order is filtered; empty when
    // not): an order made again over more rows filters by it, and the status line names it. Taken
    // over from the order job that made the order; no job reads it.
    RowFilter filter;
    KeptSums sums;    // the selection's sums last worked out, for the status line
    bool remake;      // the order shown was made over fewer rows than are now known: make it again
    bool menu_open;   // a menu of the viewer's own is open
    unsigned put_off; // PUT_OFF_ bits: what to take up once the menu has closed
    bool closing;     // the host has closed the viewer; its window goes once the module's frames
                      // have returned (plugin/module_frames.h)
};
