// Row numbers as people type them.
#include "query/goto_row.h"

int goto_row_parse(const char *text, size_t len, int64_t *row) {
    const char *p = text, *end = text + len;
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    while (end > p && (end[-1] == ' ' || end[-1] == '\t')) --end;
    if (p == end || *p < '0' || *p > '9' || end[-1] < '0' || end[-1] > '9') return 0;
    int64_t value = 0;
    for (; p < end; ++p) {
        if (*p == ',') {
            if (p[-1] < '0' || p[-1] > '9') return 0; // two commas together
            continue;
        }
        if (*p < '0' || *p > '9') return 0;
        const int digit = *p - '0';
        value = value > (INT64_MAX - digit) / 10 ? INT64_MAX : value * 10 + digit;
    }
    if (value == 0) return 0;
    *row = value;
    return 1;
}
