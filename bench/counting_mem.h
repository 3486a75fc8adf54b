// load_peak's view of the counting allocation seam (counting_mem.cpp).
#pragma once

#include <stddef.h>

// The most bytes held at once through mem_alloc/mem_realloc since the program started.
size_t mem_peak_bytes(void);

// The bytes held now; and a new peak count that starts from them.
size_t mem_held_bytes(void);
void mem_restart_peak(void);
