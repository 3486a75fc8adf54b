// The allocation seam: plain malloc/realloc, failing on demand for tests.
#include "base/mem.h"

#include <stdlib.h>

static long g_fail_countdown = -1;
static long g_alloc_count = 0;
static long g_live_count = 0;

static bool should_fail() {
    ++g_alloc_count;
    if (g_fail_countdown < 0) return false;
    if (g_fail_countdown == 0) {
        g_fail_countdown = -1;
        return true;
    }
    --g_fail_countdown;
    return false;
}

void *mem_alloc(size_t size) {
    void *block = should_fail() ? nullptr : malloc(size);
    if (block) ++g_live_count;
    return block;
}

void *mem_realloc(void *block, size_t size) {
    void *moved = should_fail() ? nullptr : realloc(block, size);
    if (moved && !block) ++g_live_count;
    return moved;
}

void mem_free(void *block) {
    if (block) --g_live_count;
    free(block);
}

void mem_fail_after(long n) {
    g_fail_countdown = n < 0 ? -1 : n;
}

long mem_alloc_count(void) {
    return g_alloc_count;
}

long mem_live_count(void) {
    return g_live_count;
}
