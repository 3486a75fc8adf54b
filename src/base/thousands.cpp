// Digit grouping for the counts the viewer shows.
#include "base/thousands.h"

#include <stdio.h>

void format_thousands(char *out, size_t n, unsigned long long v) {
    if (n == 0) return;
    char digits[32];
    int len = snprintf(digits, sizeof digits, "%llu", v);
    size_t o = 0;
    for (int i = 0; i < len; ++i) {
        if (i > 0 && (len - i) % 3 == 0) {
            if (o + 1 >= n) break;
            out[o++] = ',';
        }
        if (o + 1 >= n) break;
        out[o++] = digits[i];
    }
    out[o] = '\0';
}
