// The allocation seam of document/mem.h for load_peak: the C allocator, counting the bytes held
// at the worst moment. A growing realloc is counted as holding the old and the new block at once,
// as an allocator that must move the block does, so the peak is the portable worst case rather
// than what this platform's realloc happens to manage in place. The seam's failure hook is for the
// tests and is left out here.
#include "base/mem.h"

#include "counting_mem.h"

#include <map>
#include <stdlib.h>

namespace {

std::map<void *, size_t> g_sizes;
size_t g_held = 0;
size_t g_peak = 0;

void note_peak(size_t bytes) {
    if (bytes > g_peak) g_peak = bytes;
}

} // namespace

void *mem_alloc(size_t size) {
    void *block = malloc(size);
    if (block) {
        g_sizes[block] = size;
        g_held += size;
        note_peak(g_held);
    }
    return block;
}

void *mem_realloc(void *block, size_t size) {
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

void mem_free(void *block) {
    auto found = g_sizes.find(block);
    if (found != g_sizes.end()) {
        g_held -= found->second;
        g_sizes.erase(found);
    }
    free(block);
}

size_t mem_peak_bytes(void) {
    return g_peak;
}

size_t mem_held_bytes(void) {
    return g_held;
}

void mem_restart_peak(void) {
    g_peak = g_held;
}
