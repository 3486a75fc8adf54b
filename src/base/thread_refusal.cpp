// The thread seam's test hook, shared by its implementations.
#include "base/thread.h"

#include <atomic>

static std::atomic<long> g_fail_countdown{-1};

void thread_fail_after(long n) {
    g_fail_countdown.store(n < 0 ? -1 : n);
}

bool thread_start_refused() {
    long n = g_fail_countdown.load();
    while (n >= 0)
        if (g_fail_countdown.compare_exchange_weak(n, n - 1)) return n == 0;
    return false;
}
