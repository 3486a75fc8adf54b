// Viewport arithmetic: clamping, scrolling to a cell, hit-testing and selection spans.
#include "text/view_port.h"

#include "base/utf8.h"

namespace {

const size_t SIDE_MARGIN = 8;

size_t at_least_one(size_t n) {
    return n ? n : 1;
}

} // namespace

void viewport_clamp(TextViewport *v, size_t line_count, size_t columns) {
    size_t rows = at_least_one(v->rows), cols = at_least_one(v->cols);
    size_t last_top = line_count > rows ? line_count - rows : 0;
    if (v->top > last_top) v->top = last_top;
    size_t last_left = columns + 1 > cols ? columns + 1 - cols : 0;
    if (v->left > last_left) v->left = last_left;
}

void viewport_show(TextViewport *v, size_t line, size_t col) {
    size_t rows = at_least_one(v->rows), cols = at_least_one(v->cols);
    if (line < v->top)
        v->top = line;
    else if (line >= v->top + rows)
        v->top = line - rows + 1;
    size_t margin = cols / 4 < SIDE_MARGIN ? cols / 4 : SIDE_MARGIN;
    if (col < v->left)
        v->left = col > margin ? col - margin : 0;
    else if (col >= v->left + cols)
        v->left = col - cols + 1 + margin;
}

size_t viewport_hit(const TextViewport *v, const TextDoc *doc, ColumnCache *c, long row, long x) {
    size_t count = text_line_count(doc);
    size_t line;
    if (row < 0)
        line = static_cast<size_t>(-row) > v->top ? 0 : v->top - static_cast<size_t>(-row);
    else
        line = v->top + static_cast<size_t>(row);
    if (line >= count) line = count - 1;

    // Eighths of a column from the line's start; left of the view's edge is its first column.
    size_t eighths = v->left * 8 + (x > 0 ? static_cast<size_t>(x) : 0);
    size_t col = eighths / 8;
    size_t before = pos_at_column(c, doc, line, col, 0);
    size_t end = text_line_end(doc, line);
    if (before >= end) return end;
    size_t len = 0;
    const char *bytes = text_line(doc, line, &len);
    size_t start = text_line_start(doc, line);
    uint32_t cp;
    size_t after = before + utf8_decode(bytes + (before - start), end - before, &cp);
    size_t c0 = column_of(c, doc, line, before), c1 = column_of(c, doc, line, after);
    // Past the middle of the character's columns, the click lands after it.
    return eighths * 2 >= (c0 + c1) * 8 ? after : before;
}

int selection_columns(const TextDoc *doc, ColumnCache *c, size_t line, size_t start, size_t end,
                      size_t *c0, size_t *c1) {
    size_t line_start = text_line_start(doc, line), line_end = text_line_end(doc, line);
    if (start >= end || end <= line_start || start > line_end) return 0;
    size_t from = column_of(c, doc, line, start > line_start ? start : line_start);
    size_t to = column_of(c, doc, line, end < line_end ? end : line_end);
    if (end > line_end && line + 1 < text_line_count(doc)) ++to;
    if (to <= from) return 0;
    *c0 = from;
    *c1 = to;
    return 1;
}
