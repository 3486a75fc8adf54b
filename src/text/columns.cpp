// Positions and columns of a text's lines, through the column cache.
#include "text/columns.h"

#include "text/char_width.h"

size_t column_of(ColumnCache *c, const TextDoc *doc, size_t line, size_t pos) {
    size_t len = 0;
    const char *s = text_line(doc, line, &len);
    size_t start = text_line_start(doc, line);
    return column_seek_offset(c, line, s, len, pos > start ? pos - start : 0).col;
}

size_t pos_at_column(ColumnCache *c, const TextDoc *doc, size_t line, size_t col, int nearest) {
    size_t len = 0;
    const char *s = text_line(doc, line, &len);
    size_t start = text_line_start(doc, line);
    ColumnSpot at = column_seek_column(c, line, s, len, col);
    if (nearest && at.off < len) {
        size_t next_col;
        size_t n = char_step(s, len, at.off, at.col, &next_col);
        if (2 * (col - at.col) >= next_col - at.col) return start + at.off + n;
    }
    return start + at.off;
}

size_t line_columns(ColumnCache *c, const TextDoc *doc, size_t line) {
    size_t len = 0;
    const char *s = text_line(doc, line, &len);
    return column_seek_offset(c, line, s, len, len).col;
}
