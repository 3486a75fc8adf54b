// The go-to bar's row and message.
#include "work/go_to.h"

#include "base/thousands.h"
#include "query/goto_row.h"

#include <stdio.h>

GoTo go_to_row(const char *text, size_t len, int32_t rows, int32_t *row, char *message, size_t n) {
    *row = 0;
    if (n) message[0] = '\0';
    char last[32];
    format_thousands(last, sizeof last, static_cast<unsigned long long>(rows > 0 ? rows : 0));
    if (rows <= 0) {
        if (n) snprintf(message, n, "No rows to go to");
        return GOTO_NO_ROWS;
    }
    int64_t asked = 0;
    if (!goto_row_parse(text, len, &asked)) {
        if (n) snprintf(message, n, "Type a row number, 1 to %s", last);
        return GOTO_NOT_A_ROW;
    }
    if (asked > rows) {
        *row = rows - 1;
        if (n) snprintf(message, n, "Past the end: row %s is the last", last);
        return GOTO_LAST;
    }
    *row = static_cast<int32_t>(asked - 1);
    return GOTO_ROW;
}
