// Counts as people read them: 1234567 as "1,234,567".
#pragma once

#include <stddef.h>

// Writes v with a comma between each group of three digits into out (n bytes, cut there).
void format_thousands(char *out, size_t n, unsigned long long v);
