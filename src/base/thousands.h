// Counts as people read them: 1234567 as "1,234,567".
#pragma once

#include <stddef.h>

// Writes v with a comma between each group of three digits into out (n bytes) and a NUL; a text
// longer than n - 1 bytes is cut to its first n - 1, a comma kept where it falls ("1,2" of
// 1,234,567, where a dropped comma would give "123"). n == 0 writes nothing.
void format_thousands(char *out, size_t n, unsigned long long v);
