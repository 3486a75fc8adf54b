// Asking long work to stop. Work that may run for seconds over a big file (a sort, a filter, a
// search) is run by the Windows side in a thread of its own, pointed at a flag; the loops that may
// run long look at it every few megabytes or tens of thousands of rows, and give up when it is set,
// returning as they would when nothing is found or the memory has run out. A thread never pointed
// at a flag is never stopped, so the same code runs unchanged where nothing can stop it.
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

// How far a loop goes between looks: rows, and bytes of a scan.
enum : unsigned { STOP_ROWS = 1u << 16, STOP_BYTES = 4u << 20 };
