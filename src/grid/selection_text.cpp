// Selection export text: each row walked once from its first selected field, plain cells copied
// in stretches.
#include "grid/selection_text.h"

#include "base/stop.h"
#include "document/copy_escapes.h"
#include "document/fields.h"
#include "grid/cells.h"
#include "grid/cursor.h"
#include "grid/shown_rows.h"

#include <string.h>

size_t unescape_cell(const char *raw, size_t raw_len, char *out) {
    const size_t limit = CELL_SCRATCH - 1;
    size_t i = 0, o = 0;
    while (i < raw_len && o < limit) {
        // Most cells hold no backslash at all: the bytes up to the next one go over in one copy.
        const char *slash = static_cast<const char *>(memchr(raw + i, '\\', raw_len - i));
        size_t run = (slash ? static_cast<size_t>(slash - raw) : raw_len) - i;
        if (run > limit - o) run = limit - o;
        memcpy(out + o, raw + i, run);
        o += run;
        i += run;
        if (!slash || o == limit) break;
        if (i + 1 == raw_len) {
            out[o++] = '\\';
            ++i;
            continue;
        }
        char x = raw[i + 1];
        i += 2;
        if (x == 't')
            out[o++] = ' ';
        else if (x != 'n' && x != 'r')
            out[o++] = x;
    }
    out[o] = '\0';
    return o;
}

// The end of the field starting at `field` (document/fields.h), noting whether a backslash lies
// before it.
static const char *escaped_field_end(const char *field, const char *line_end, bool *escaped) {
    const char *end = field_end(field, line_end);
    *escaped = memchr(field, '\\', static_cast<size_t>(end - field)) != nullptr;
    return end;
}

// Appends one cell's decoded text and the separator after it (a tab, or the line end), writing
// straight into the output: a decoded text is never longer than its raw bytes.
static void add_cell(StrBuf *text, const char *field, size_t len, bool escaped, const char *sep,
                     size_t sep_len) {
    if (len > CELL_SCRATCH - 1) len = CELL_SCRATCH - 1;
    char *out = sb_prep(text, len + sep_len);
    if (!out) return;
    size_t n = 0;
    if (!escaped) {
        memcpy(out, field, len);
        n = len;
    } else if (!field_is_null(field, len)) {
        n = unescape_cell(field, len, out);
    }
    memcpy(out + n, sep, sep_len);
    sb_commit(text, n + sep_len);
}

// Tabs in n bytes. Counted in blocks of up to 255 bytes into a byte-wide counter, a loop the
// compiler turns into a compare and a subtract per 16 bytes.
static size_t count_tabs(const char *text, size_t n) {
    size_t tabs = 0;
    while (n > 0) {
        size_t block = n < 255 ? n : 255;
        unsigned char in_block = 0;
        for (size_t i = 0; i < block; ++i) in_block += text[i] == '\t';
        tabs += in_block;
        text += block;
        n -= block;
    }
    return tabs;
}

// Whether the backslash at p, inside the fields [first, end), begins a field that is exactly "\N".
static bool starts_null_field(const char *first, const char *end, const char *p) {
    return (p == first || p[-1] == '\t') && end - p >= 2 && p[1] == 'N' &&
           (end - p == 2 || p[2] == '\t');
}

// The common case of a selection that reaches the last column: when the rest of the line from the
// first selected field holds exactly the selected fields, is too short for any cell to be cut, and
// has no backslash but those of NULL fields, the export line is that rest with the NULLs left
// empty. Appends it and the line end and returns 1; otherwise appends nothing and returns 0.
static int add_plain_rest(StrBuf *text, const char *first, const char *line_end, int32_t tabs) {
    size_t len = static_cast<size_t>(line_end - first);
    if (len > CELL_SCRATCH - 1 || count_tabs(first, len) != static_cast<size_t>(tabs)) return 0;
    const char *end = first + len;
    // Decoding never lengthens a line, so this room serves the other path too.
    char *out = sb_prep(text, len + 2);
    if (!out) return 1;
    size_t o = 0;
    const char *from = first;
    for (const char *p = first;
         (p = static_cast<const char *>(memchr(p, '\\', static_cast<size_t>(end - p)))); p += 2) {
        if (!starts_null_field(first, end, p)) return 0;
        memcpy(out + o, from, static_cast<size_t>(p - from));
        o += static_cast<size_t>(p - from);
        from = p + 2;
    }
    memcpy(out + o, from, static_cast<size_t>(end - from));
    o += static_cast<size_t>(end - from);
    memcpy(out + o, "\r\n", 2);
    sb_commit(text, o + 2);
    return 1;
}

// Appends one row's selected cells, columns c0 to c1, and the line end. A cell without escapes
// reads the same in the row line as in the export, and so do the tabs between such cells: a
// stretch of them goes over in one copy, and only cells that need decoding (or cutting) are
// handled one by one.
static void add_row(StrBuf *text, RowLine line, int32_t c0, int32_t c1, bool to_line_end) {
    size_t unused = 0;
    const char *field = field_at(line.start, line.end, c0, &unused);
    if (field && to_line_end && add_plain_rest(text, field, line.end, c1 - c0)) return;
    const char *run = field; // the start of the plain stretch not yet appended
    for (int32_t c = c0; c <= c1; ++c) {
        bool last = c == c1;
        const char *sep = last ? "\r\n" : "\t";
        size_t sep_len = last ? 2 : 1;
        if (!field) {
            add_cell(text, "", 0, false, sep, sep_len);
            continue;
        }
        bool escaped = false;
        const char *end = escaped_field_end(field, line.end, &escaped);
        size_t len = static_cast<size_t>(end - field);
        bool plain = !escaped && len <= CELL_SCRATCH - 1;
        if (plain && !last && end < line.end) {
            field = field_after(end, line.end);
            continue;
        }
        if (plain) {
            sb_add_len(text, run, static_cast<size_t>(end - run));
            sb_add_len(text, sep, sep_len);
        } else {
            sb_add_len(text, run, static_cast<size_t>(field - run));
            add_cell(text, field, len, escaped, sep, sep_len);
        }
        field = field_after(end, line.end);
        run = field;
    }
}

// The selection's text into `text`, after a line of the column titles when `titles` is set; into a
// StrBuf made here, or with `prepared` into the caller's (a spilling one).
static int build_selection(const Viewer *viewer, StrBuf *text, bool titles, bool prepared) {
    if (!prepared) text->data = nullptr;
    if (shown_row_count(viewer) <= 0 || viewer->col_count <= 0) return 0;
    SelectionRect sel = selection_rect(viewer);
    if (!prepared && !sb_init(text)) return 0;
    for (int32_t c = sel.c0; titles && c <= sel.c1; ++c) {
        sb_add(text, column_title(viewer, c));
        sb_add(text, c == sel.c1 ? "\r\n" : "\t");
    }
    for (int32_t r = sel.r0; r <= sel.r1 && !text->failed; ++r)
        add_row(text, shown_line(viewer, r), sel.c0, sel.c1, sel.c1 >= viewer->col_count - 1);
    if (text->failed) {
        sb_drop(text);
        return 0;
    }
    return 1;
}

int selection_text(const Viewer *viewer, StrBuf *text) {
    return build_selection(viewer, text, false, false);
}

int selection_text_with_titles(const Viewer *viewer, StrBuf *text) {
    return build_selection(viewer, text, true, false);
}

int selection_text_into(const Viewer *viewer, bool titles, StrBuf *text) {
    return build_selection(viewer, text, titles, true);
}

uint64_t selection_text_bound(const Viewer *viewer, bool titles) {
    if (shown_row_count(viewer) <= 0 || viewer->col_count <= 0) return 0;
    const SelectionRect sel = selection_rect(viewer);
    // Decoding never lengthens a cell, so a row gives at most its line, a tab for each selected
    // column it lacks, and the line end.
    const uint64_t width = static_cast<uint64_t>(sel.c1 - sel.c0) + 1;
    uint64_t bound = 0;
    for (int32_t r = sel.r0; r <= sel.r1; ++r) {
        if ((r - sel.r0) % STOP_ROWS == STOP_ROWS - 1 && stop_asked()) return 0;
        const RowLine line = shown_line(viewer, r);
        bound += static_cast<uint64_t>(line.end - line.start) + width + 2;
    }
    for (int32_t c = sel.c0; titles && c <= sel.c1; ++c)
        bound += strlen(column_title(viewer, c)) + 2;
    return bound;
}
