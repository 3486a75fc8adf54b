// The status line's count of the rows shown, what filters and sorts them, and the cursor's column
// or the selection's sums.
#include "work/order_status.h"

#include "base/strbuf.h"
#include "base/thousands.h"
#include "base/utf8.h"
#include "document/header_line.h"
#include "grid/cells.h"
#include "grid/shown_rows.h"

#include <stdio.h>
#include <string.h>

namespace {

// Whether the grid shows other rows than every row counted.
bool shows_part(const Viewer *viewer) {
    return viewer->order.filtered || shown_row_count(viewer) != viewer->row_count;
}

// Bytes of text[0 .. len) that fit in `room` bytes, cut where a character starts.
size_t whole_chars(const char *text, size_t len, size_t room) {
    return len <= room ? len : utf8_char_floor(text, len, room);
}

// The filter's name, cut at STATUS_FILTER_NAME_MAX bytes, and the dash before the count.
void add_filter(StrBuf *out, const RowFilter *filter, const Viewer *viewer) {
    StrBuf name;
    if (!row_filter_any(filter) || !sb_init(&name)) return;
    row_filter_name(filter, viewer, &name);
    if (!name.failed) {
        const size_t keep = whole_chars(name.data, name.len, STATUS_FILTER_NAME_MAX);
        sb_add_len(out, name.data, keep);
        if (keep < name.len) sb_add(out, "\xE2\x80\xA6");
        sb_add(out, " \xE2\x80\x94 ");
    }
    sb_drop(&name);
}

void add_keys(StrBuf *out, const Viewer *viewer) {
    const RowOrder &o = viewer->order;
    if (o.key_count <= 0) return;
    sb_add(out, "   \xC2\xB7   sorted by ");
    for (int32_t k = 0; k < o.key_count; ++k) {
        if (k) sb_add(out, ", ");
        sb_add(out, column_title(viewer, o.keys[k].col));
        sb_add(out, o.keys[k].dir == SORT_DESC ? " \xE2\x86\x93" : " \xE2\x86\x91");
    }
}

} // namespace

void format_row_count(char *out, size_t n, const Viewer *viewer) {
    if (n == 0) return;
    char total[32], shown[32];
    format_thousands(total, sizeof total, static_cast<unsigned long long>(viewer->row_count));
    if (!shows_part(viewer)) {
        snprintf(out, n, "%s rows", total);
        return;
    }
    format_thousands(shown, sizeof shown, static_cast<unsigned long long>(shown_row_count(viewer)));
    snprintf(out, n, "%s of %s rows", shown, total);
}

void format_grid_status(char *out, size_t n, const Viewer *viewer, const StatusParts *parts) {
    if (n == 0) return;
    out[0] = '\0';
    StrBuf s;
    if (!sb_init(&s)) return;
    if (shows_part(viewer) && viewer->copy_line) {
        char name[TABLE_NAME_MAX + 1], count[96];
        table_name_of(viewer->copy_line, name);
        format_row_count(count, sizeof count, viewer);
        sb_add(&s, name);
        sb_add(&s, "   \xE2\x80\x94   ");
        if (parts && viewer->order.filtered) add_filter(&s, parts->filter, viewer);
        if (viewer->load == LOAD_COUNTING) sb_add(&s, "counting\xE2\x80\xA6 ");
        sb_add(&s, count);
        if (viewer->read_failed) sb_add(&s, "   \xE2\x80\x94   the file could not be read whole");
    } else {
        sb_add(&s, viewer->status);
    }
    // On the Data tab, the order's keys and the cursor's column (its name and type), or the
    // selection's sums.
    if (viewer->tab == TAB_DATA) {
        add_keys(&s, viewer);
        if (parts && parts->sums) {
            sb_add(&s, "   \xC2\xB7   ");
            sb_add(&s, parts->sums);
        } else if (viewer->cur_col >= 0 && viewer->cur_col < viewer->col_count) {
            const char *type = viewer->col_types ? viewer->col_types[viewer->cur_col].name : "";
            sb_add(&s, "   \xC2\xB7   ");
            sb_add(&s, column_title(viewer, viewer->cur_col));
            if (type[0]) sb_add(&s, " ");
            sb_add(&s, type);
        }
    }
    if (!s.failed) {
        const size_t keep = whole_chars(s.data, s.len, n - 1);
        memcpy(out, s.data, keep);
        out[keep] = '\0';
    }
    sb_drop(&s);
}
