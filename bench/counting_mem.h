// load_peak's view of the counting allocation seam (counting_mem.cpp).
#pragma once

#include <stddef.h>

// The most bytes held at once through mem_alloc/mem_realloc since the program started.
// Blocks the core frees with free() are not seen, so they stay counted: the figure can only err
// on the high side.
size_t mem_peak_bytes(void);
