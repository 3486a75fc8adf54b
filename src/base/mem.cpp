// The allocation seam: plain malloc/realloc, failing on demand for tests. The counters are atomic:
// work on other threads (work/) allocates through the seam too.
#include "base/mem.h"

#include <atomic>
#include <stdlib.h>

static std::atomic<long> g_fail_countdown{-1};
static std::atomic<long> g_alloc_count{0};
static std::atomic<long> g_live_count{0};

static bool should_fail() {
    g_alloc_count.fetch_add(1, std::memory_order_relaxed);
    long n = g_fail_countdown.load(std::memory_order_relaxed);
    while (n >= 0)
        if (g_fail_countdown.compare_exchange_weak(n, n - 1)) return n == 0;
    return false;
}

void *mem_alloc(size_t size) {
    void *block = should_fail() ? nullptr : malloc(size);
    if (block) g_live_count.fetch_add(1, std::memory_order_relaxed);
    return block;
}

void *mem_realloc(void *block, size_t size) {
    void *moved = should_fail() ? nullptr : realloc(block, size);
    if (moved && !block) g_live_count.fetch_add(1, std::memory_order_relaxed);
    return moved;
}

void mem_free(void *block) {
    if (block) g_live_count.fetch_sub(1, std::memory_order_relaxed);
    free(block);
}

void mem_fail_after(long n) {
    g_fail_countdown.store(n < 0 ? -1 : n);
}

long mem_alloc_count(void) {
    return g_alloc_count.load();
}

long mem_live_count(void) {
    return g_live_count.load();
}
