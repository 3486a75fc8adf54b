// Threads and a lock: the one seam through which portable code runs work beside the window's
// thread. POSIX threads natively (base/thread_posix.cpp), Windows threads in the module
// (plugin/thread_win32.cpp), so that the protocols built on it (work/) run unchanged in a native
// stress test under ThreadSanitizer.
#pragma once

struct Thread;

enum ThreadPriority {
    THREAD_NORMAL,
    THREAD_BELOW_NORMAL, // never what keeps the window's thread (keys, paints) waiting
};

// Starts run(arg) on a thread of its own. Returns its handle, or null when no thread can be had
// (nothing runs then).
Thread *thread_start(void (*run)(void *arg), void *arg, ThreadPriority priority);

// Waits until the thread's run has returned, then frees the handle. Null does nothing.
void thread_join(Thread *thread);

// Test hook: the next `n` thread_start calls succeed and the one after them fails (then all
// succeed again); a negative n turns the hook off.
void thread_fail_after(long n);

// For the seam's implementations: whether the hook refuses this thread_start.
bool thread_start_refused();

// A lock that is not recursive. `impl` belongs to the lock: zeroed, the lock is not made yet.
struct Lock {
    void *impl;
};
// Makes the lock. Returns 1, or 0 when it cannot be had.
int lock_init(Lock *lock);
void lock_enter(Lock *lock);
void lock_leave(Lock *lock);
// Frees a lock no thread holds or waits for; safe on a zeroed lock.
void lock_free(Lock *lock);
