// The find bar's messages, composed in UTF-8 and cut only between characters.
#include "find/find_message.h"

#include "base/thousands.h"
#include "grid/cells.h"
#include "grid/shown_rows.h"
#include "base/utf8.h"

#include <stdio.h>
#include <string.h>

namespace {

// Cuts a text that snprintf cut at n - 1 bytes back to its last whole character.
void end_at_whole_character(char *out, size_t n) {
    size_t len = strnlen(out, n);
    size_t start = 0, whole = 0;
    while (start < len) {
        uint32_t cp;
        size_t step = utf8_decode(out + start, len - start, &cp);
        if (cp == REPLACEMENT_CHAR && start + step == len && len + 1 == n) break;
        start += step;
        whole = start;
    }
    out[whole] = '\0';
}

const char *round_note(int wrapped, FindDir dir) {
    if (!wrapped) return "";
    return dir == FIND_NEXT ? " (from the top again)" : " (from the end again)";
}

} // namespace

void find_message_grid(char *out, size_t n, const Viewer *viewer, const GridHit *hit, FindDir dir) {
    if (n == 0) return;
    char row[32], rows[32];
    format_thousands(row, sizeof row, static_cast<unsigned long long>(hit->row) + 1);
    format_thousands(rows, sizeof rows, static_cast<unsigned long long>(shown_row_count(viewer)));
    snprintf(out, n, "Row %s of %s, column %s%s", row, rows, column_title(viewer, hit->col),
             round_note(hit->wrapped, dir));
    end_at_whole_character(out, n);
}

void find_message_text(char *out, size_t n, size_t line, size_t line_count, const TextHit *hit,
                       FindDir dir) {
    if (n == 0) return;
    char at[32], of[32];
    format_thousands(at, sizeof at, line + 1);
    format_thousands(of, sizeof of, line_count);
    snprintf(out, n, "Line %s of %s%s", at, of, round_note(hit->wrapped, dir));
    end_at_whole_character(out, n);
}

void find_message_none(char *out, size_t n, const char *text) {
    if (n == 0) return;
    size_t len = strlen(text);
    if (len == 0)
        snprintf(out, n, "Type a text to find");
    else if (len > FIND_TEXT_MAX)
        snprintf(out, n, "The text is too long to find");
    else if (strpbrk(text, "\r\n"))
        snprintf(out, n, "A line break cannot be found");
    else
        snprintf(out, n, "Not found: \xE2\x80\x9C%s\xE2\x80\x9D", text);
    end_at_whole_character(out, n);
}
