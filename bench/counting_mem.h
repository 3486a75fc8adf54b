// load_peak's view of the counting allocation seam (counting_mem.cpp).
#pragma once

#include <stddef.h>

// The most bytes held at once through mem_alloc/mem_realloc since the program started.
size_t mem_peak_bytes(void);
