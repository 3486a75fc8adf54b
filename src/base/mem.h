// Allocation seam for the document and grid code: the C allocator, with a test hook that makes
// a chosen allocation fail so that every allocation point's failure path can be exercised.
#pragma once

#include <stddef.h>

void *mem_alloc(size_t size);
void *mem_realloc(void *block, size_t size);
// Frees a block from mem_alloc/mem_realloc; null does nothing.
void mem_free(void *block);

// Test hook: the next `n` allocations through this seam succeed and the one after them fails
// (then all succeed again). A negative n turns the hook off. Allocations are counted, so
// mem_alloc_count() before and after an operation tells how many allocation points it has.
void mem_fail_after(long n);
long mem_alloc_count(void);
// Blocks from this seam not yet freed through it: equal before and after an operation that keeps
// nothing, whether it succeeded or failed part-way.
long mem_live_count(void);
