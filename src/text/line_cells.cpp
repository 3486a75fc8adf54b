// The cells of the part of a line in view: what the text view draws, unit by unit.
#include "text/line_cells.h"

#include "base/utf8.h"
#include "text/char_width.h"

size_t line_cells(ColumnCache *c, const TextDoc *doc, size_t line, size_t first, size_t count,
                  uint16_t *units, uint32_t *unit_cols, size_t room) {
    size_t len = 0;
    const char *s = text_line(doc, line, &len);
    const size_t last = count > SIZE_MAX - first ? SIZE_MAX : first + count;
    ColumnSpot at = column_seek_column(c, line, s, len, first);
    size_t n = 0, after = 0;
    while (at.off < len && at.col < last) {
        size_t next_col;
        size_t bytes = char_step(s, len, at.off, at.col, &next_col);
        uint32_t cp = static_cast<unsigned char>(s[at.off]);
        if (cp >= 0x80) utf8_decode(s + at.off, len - at.off, &cp);
        if (cp == '\t' || at.col < first || next_col > last) {
            // Blanks for the columns of it in view.
            size_t to = next_col < last ? next_col : last;
            for (size_t col = at.col < first ? first : at.col; col < to; ++col) {
                if (n >= room) goto full;
                units[n] = ' ';
                unit_cols[n++] = static_cast<uint32_t>(col - first);
                after = col + 1 - first;
            }
        } else {
            uint32_t shown = shown_char(cp);
            size_t k = utf16_units(shown);
            if (n + k > room) break;
            utf16_put(shown, units + n);
            for (size_t i = 0; i < k; ++i) unit_cols[n++] = static_cast<uint32_t>(at.col - first);
            after = next_col - first;
        }
        at.off += bytes;
        at.col = next_col;
    }
full:
    unit_cols[n] = static_cast<uint32_t>(after);
    return n;
}
