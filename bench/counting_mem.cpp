// The allocation seam of document/mem.h for load_peak: the C allocator, counting the bytes held
// at the worst moment. A growing realloc is counted as holding the old and the new block at once,
// as an allocator that must move the block does, so the peak is the portable worst case rather
// than what this platform's realloc happens to manage in place.
#include "document/mem.h"

#include "counting_mem.h"

#include <map>
#include <stdlib.h>

namespace {

std::map<void *, size_t> g_sizes;
size_t g_held = 0;
size_t g_peak = 0;
long g_alloc_count = 0;
long g_fail_countdown = -1;

bool should_fail() {
    ++g_alloc_count;
    if (g_fail_countdown < 0) return false;
    if (g_fail_countdown == 0) {
        g_fail_countdown = -1;
        return true;
    }
    --g_fail_countdown;
    return false;
}

void note_peak(size_t bytes) {
    if (bytes > g_peak) g_peak = bytes;
}

} // namespace

void *mem_alloc(size_t size) {
    if (should_fail()) return nullptr;
    void *block = malloc(size);
    if (block) {
        g_sizes[block] = size;
        g_held += size;
        note_peak(g_held);
    }
    return block;
}

void *mem_realloc(void *block, size_t size) {
    if (should_fail()) return nullptr;
    size_t old = 0;
    auto found = g_sizes.find(block);
    if (found != g_sizes.end()) {
        old = found->second;
        g_sizes.erase(found);
    }
    void *grown = realloc(block, size);
    if (!grown) {
        if (block) g_sizes[block] = old;
        return nullptr;
    }
    note_peak(g_held + size);
    g_held = g_held - old + size;
    g_sizes[grown] = size;
    return grown;
}

void mem_fail_after(long n) {
    g_fail_countdown = n < 0 ? -1 : n;
}

long mem_alloc_count(void) {
    return g_alloc_count;
}

size_t mem_peak_bytes(void) {
    return g_peak;
}
