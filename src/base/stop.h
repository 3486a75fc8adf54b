// Asking long work to stop. Work that may run for seconds over a big file (a sort, a filter, a
// search, a copy) runs in a thread of its own (work/job.h), pointed at a flag; every loop that may
// run long looks at it every few megabytes or tens of thousands of rows, and gives up when it is
// set, returning as it would when nothing is found or the memory has run out. A thread never
// pointed at a flag is never stopped, so the same code runs unchanged where nothing can stop it.
#pragma once

#include <atomic>

// Points this thread's work at `flag` (null: at none) and forgets whether it stopped.
void stop_watch(const std::atomic<int> *flag);

// Whether the work is asked to stop: once true, a loop returns at once. Also remembered for
// stop_seen().
bool stop_asked();

// Whether the work has given up since stop_watch: some loop saw stop_asked() true. Work that
// finished before it looked is whole.
bool stop_seen();

// Test hook for this thread: the next `looks` calls of stop_asked() answer as the flag says, and
// from the one after them on the stop is asked, as if Escape came at that moment of the work;
// negative turns it off. A test runs an operation with the stop coming at each look in turn, so
// that every place a loop gives up is reached.
void stop_after_looks(long looks);

// How many times stop_asked() was called on this thread since stop_watch: what a test's
// stop_after_looks can count to.
long stop_looks();

// How far a loop goes between looks: rows, and bytes of a scan.
// A row of a big file read where it lies, cold, costs up to a microsecond: 16,384 of them are
// milliseconds, so that a stop is seen well within the tenth of a second a user may wait.
enum : unsigned { STOP_ROWS = 1u << 14, STOP_BYTES = 4u << 20 };
