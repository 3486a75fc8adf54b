// Fuzz target: any bytes as a dump container, through the loader (at once, and counted in steps,
// both against the loader's rules applied to the whole file) and every portable reader of it, and
// orders asked for while it is counted (order_steps_check.h).
// The input's last bytes also steer cursor keys and jumps, so the selection whose text is built
// is a different rectangle for different inputs. Each reader's result is checked against what it
// promises, and the selection text against a cell-by-cell rebuild of it.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "document/load.h"
#include "document/rows.h"
#include "base/strbuf.h"
#include "document/tab_text.h"
#include "find_check.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "grid/cells.h"
#include "grid/cursor.h"
#include "grid/selection_text.h"
#include "order_steps_check.h"
#include "text/tab_doc.h"
#include "text/text_copy.h"
#include "text/text_pos.h"
#include "whole_file_rules.h"

namespace {

// After any key or jump the cursor and the anchor lie inside the grid.
void check_cursor(const Viewer *v) {
    if (v->row_count <= 0) return;
    const int32_t last_col = v->col_count > 0 ? v->col_count - 1 : 0;
    FUZZ_CHECK(v->cur_row >= 0 && v->cur_row < v->row_count);
    FUZZ_CHECK(v->anchor_row >= 0 && v->anchor_row < v->row_count);
    FUZZ_CHECK(v->cur_col >= 0 && v->cur_col <= last_col);
    FUZZ_CHECK(v->anchor_col >= 0 && v->anchor_col <= last_col);
}

bool is_null_field(const char *field, size_t len) {
    return len == 2 && field[0] == '\\' && field[1] == 'N';
}

// The next field after the one starting at `field` on a line ending at `line_end`, or null at the
// line's end.
const char *next_field(const char *field, const char *line_end) {
    const char *end = field + field_length(field, line_end);
    return end < line_end ? end + 1 : nullptr;
}

// Cells as the grid asks for them, one row past each end and one column past each row's last
// field: the grid text is the field's first bytes, "null" for a NULL, empty for a missing field.
// cell_text finds its field from the line's start, so only the first and the last columns of a
// row are asked, which keeps a row of a thousand fields from costing a million steps.
void check_cells(const Viewer *v) {
    char room[48];
    for (int32_t r = -1; r <= v->row_count; ++r) {
        const bool in_rows = r >= 0 && r < v->row_count;
        const RowLine line = in_rows ? row_line(v, r) : RowLine{nullptr, nullptr};
        const char *field = line.start;
        for (int32_t c = in_rows ? 0 : -1; c <= v->col_count; ++c) {
            const bool asked = c < 32 || c + 4 >= v->col_count || !field;
            if (asked) {
                cell_text(v, r, c, room, sizeof room);
                if (!field) {
                    FUZZ_CHECK(room[0] == '\0');
                    break; // no more fields: the rest of the row reads the same
                }
                size_t len = field_length(field, line.end);
                if (is_null_field(field, len)) {
                    FUZZ_CHECK(strcmp(room, "null") == 0);
                } else {
                    size_t shown = len < sizeof room - 1 ? len : sizeof room - 1;
                    FUZZ_CHECK(strlen(room) == shown && memcmp(room, field, shown) == 0);
                }
            }
            if (c >= 0) field = next_field(field, line.end);
        }
    }
}

// The selection text rebuilt one cell at a time from the row's fields and unescape_cell.
std::string selection_rebuilt(const Viewer *v) {
    static char scratch[CELL_SCRATCH];
    std::string out;
    SelectionRect s = selection_rect(v);
    for (int32_t r = s.r0; r <= s.r1; ++r) {
        size_t unused = 0;
        const RowLine line = row_line(v, r);
        const char *field = field_at(line.start, line.end, s.c0, &unused);
        for (int32_t c = s.c0; c <= s.c1; ++c) {
            if (field) {
                size_t len = field_length(field, line.end);
                if (!is_null_field(field, len)) {
                    if (len > CELL_SCRATCH - 1) len = CELL_SCRATCH - 1;
                    out.append(scratch, unescape_cell(field, len, scratch));
                }
                field = next_field(field, line.end);
            }
            out += c == s.c1 ? "\r\n" : "\t";
        }
    }
    return out;
}

void check_selection(const Viewer *v) {
    StrBuf text;
    if (!selection_text(v, &text)) {
        FUZZ_CHECK(v->row_count <= 0 || v->col_count <= 0);
        return;
    }
    FUZZ_CHECK(text.data[text.len] == '\0');
    FUZZ_CHECK(std::string(text.data, text.len) == selection_rebuilt(v));
    sb_drop(&text);
}

void check_tab_texts(Viewer *v) {
    for (int tab = -1; tab <= 6; ++tab) {
        size_t len = 0;
        const char *text = tab_text(v, tab, &len);
        FUZZ_CHECK(text != nullptr);
        v->tab = tab;
        FUZZ_CHECK(tab_copy_text(v, &len) != nullptr);
        char bar[BAR_TEXT_LEN];
        format_bar_text(bar, sizeof bar, tab, v->status);
        FUZZ_CHECK(strlen(bar) < sizeof bar);
    }
    // The script holds every row whole, when it has a COPY block at all.
    if (v->full_sql && v->copy_line && v->copy_line[0]) {
        size_t rows_bytes = 0;
        for (int32_t r = 0; r < v->row_count; ++r)
            rows_bytes += static_cast<size_t>(row_end(v, r) - row_start(v, r)) + 1;
        FUZZ_CHECK(strlen(v->full_sql) >= rows_bytes);
    }
}

// The text view's tabs read the document's own blocks, byte for byte the texts tab_text gives
// (for Full SQL, the composed script).
void check_tab_docs(Viewer *v) {
    TabLines lines{};
    for (int tab : {TAB_SQL, TAB_INFO, TAB_FULLSQL}) {
        TextDoc doc;
        const int shown = tab_doc(v, tab, &lines, &doc);
        const char *section = tab == TAB_SQL ? v->sql : tab == TAB_INFO ? v->info : v->full_sql;
        FUZZ_CHECK(shown == (section != nullptr));
        size_t want_len = 0;
        const char *want = tab_text(v, tab, &want_len);
        std::string bytes(doc.len + 1, '\xAA');
        text_copy_utf8(&doc, 0, doc.len, bytes.data());
        FUZZ_CHECK(doc.len == want_len && memcmp(bytes.data(), want, want_len) == 0);
    }
    tab_lines_free(&lines);
}

const int kKeys[] = {KEY_PRIOR, KEY_NEXT,  KEY_END,  KEY_HOME, KEY_LEFT,
                     KEY_UP,    KEY_RIGHT, KEY_DOWN, KEY_A,    'Q'};
const int kKeyCount = sizeof kKeys / sizeof kKeys[0];

// Keys and jumps taken from the input's last bytes (the same bytes are also part of the file,
// which keeps every saved dump a usable seed). A key byte: which key, Ctrl, Shift and a page
// size; a jump takes two more bytes for a row and a column that may lie outside the grid.
void move_around(Viewer *v, const uint8_t *data, size_t size) {
    size_t steer = size < 24 ? size : 24;
    const uint8_t *op = data + size - steer;
    const uint8_t *end = data + size;
    bool checked_on_the_way = false;
    while (op < end) {
        uint8_t b = *op++;
        int which = b % (kKeyCount + 1);
        if (which == kKeyCount && end - op >= 2) {
            int32_t row = static_cast<int8_t>(op[0]) * 37;
            int32_t col = static_cast<int8_t>(op[1]) * 29;
            op += 2;
            grid_goto(v, row, col, b & 0x80);
        } else if (which < kKeyCount) {
            grid_apply_key(v, kKeys[which], (b >> 6) & 1, (b >> 7) & 1, (b >> 4) & 3);
        }
        check_cursor(v);
        // One selection on the way as well as the final one: building the text is the costliest
        // check, and more of them per input would mean far fewer inputs.
        if ((b & 0x0C) == 0x0C && !checked_on_the_way) {
            check_selection(v);
            checked_on_the_way = true;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Viewer v;
    const int loaded = load_fuzz_input(&v, "document", data, size);
    const WholeFileDocument want =
        whole_file_rules(std::string(reinterpret_cast<const char *>(data), size));
    FUZZ_CHECK(loaded == want.loads);
    if (!loaded) return 0;
    FUZZ_CHECK(whole_file_difference(&v, want).empty());
    FUZZ_CHECK(counted_in_steps_difference(std::string(reinterpret_cast<const char *>(data), size),
                                           1 + (size ? data[size / 2] % 97 : 0), want)
                   .empty());
    FUZZ_CHECK(v.row_count >= 0 && v.col_count >= 0 && v.col_count <= MAX_TABLE_COLS);
    FUZZ_CHECK(memchr(v.status, '\0', sizeof v.status) != nullptr);
    check_cursor(&v);
    check_cells(&v);
    check_tab_texts(&v);
    check_tab_docs(&v);
    move_around(&v, data, size);
    check_selection(&v);
    find_check::check_find(&v, data, size);
    viewer_free_blocks(&v);
    // The input's first bytes steer orders asked for while it is counted.
    const size_t steer = size < 32 ? size : 32;
    order_steps::check_orders_while_counting(
        std::string(reinterpret_cast<const char *>(data), size), data, steer);
    return 0;
}
