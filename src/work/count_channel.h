// The count: the rows of a file after its first screen found in a thread of its own, while the
// viewer is used.
//
// The count's thread owns its scan; after each step it publishes a copy of it under the channel's
// lock and, unless a notice is already on its way, tells the window thread (`notify`). The window
// thread takes the last copy published (count_take) and brings the record up to it (load_adopt):
// the rows below the copy's count are whole and never written again, so the record may show them
// at once. The thread writes nothing of the record but the row index's entries beyond the rows the
// record counts, in chunks that never move (document/row_index.h).
#pragma once

#include "base/file_map.h"
#include "base/thread.h"
#include "document/dump_scan.h"
#include "document/viewer.h"

#include <atomic>

struct CountChannel {
    DumpScan scan;      // the thread's own
    FileMap *map;       // the record's map, which only this thread fills while it counts
    DumpScan published; // under `lock`
    Lock lock;
    std::atomic<int> stop;    // asks the thread to end
    std::atomic<int> done;    // the scan has reached the file's end
    std::atomic<int> waiting; // a notice is on its way and has not been taken up
    Thread *thread;
    // Called on the count's thread after a step was published when no notice is waiting (and once
    // more when the count is done). Returns whether it told the window thread; one that did not
    // (a notice too soon after the last) is asked again after the next step.
    bool (*notify)(void *ctx, bool done);
    void *ctx;
    uint64_t step_bytes; // bytes a step reads: milliseconds of work
};

// Starts counting the rest of the file the scan reads (which must read into the row index of the
// record the window thread will adopt it into, and `map` be that record's map, read on as the
// count goes: document/read_step.h), `step_bytes` a step (0: the usual few megabytes).
// Returns the channel, or null when no thread (or no memory) can be had: the caller then counts
// the rest itself (count_rest_here).
CountChannel *count_start(const DumpScan *scan, FileMap *map, bool (*notify)(void *ctx, bool done),
                          void *ctx, uint64_t step_bytes = 0);

// What count_take found new.
enum CountNews : unsigned {
    COUNT_ROWS = 1,     // more rows
    COUNT_COLUMNS = 2,  // the header line became known: the grid's columns
    COUNT_SECTIONS = 4, // an SQL or INFO section became known
    COUNT_DONE = 8,     // every row is known: the count has ended and its channel is freed
};

// On the window thread: brings the record up to what the count has published. Once the count is
// done, ends it (joins its thread and frees the channel) and says COUNT_DONE; *channel is then
// null.
unsigned count_take(CountChannel **channel, Viewer *viewer);

// Ends a count still going on: asks its thread to stop, waits for it (a step takes milliseconds)
// and frees the channel; *channel is then null. Nothing when it is null.
void count_end(CountChannel **channel);

// The rest of the file counted here and now (for when no thread can be had), and the record
// brought up to it. Returns the news, COUNT_DONE among them.
unsigned count_rest_here(Viewer *viewer, DumpScan *scan, FileMap *map);
