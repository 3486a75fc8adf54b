// Filter and sort applied to the record's RowOrder, with the cursor kept on its record.
#include "order/grid_order.h"

#include "base/mem.h"
#include "base/stop.h"
#include "base/thousands.h"
#include "document/header_line.h"
#include "find/grid_scan.h"
#include "grid/cells.h"
#include "grid/shown_rows.h"
#include "order/order.h"
#include "order/record_sort.h"

#include <stdio.h>
#include <string.h>

namespace {

// The file row under the cursor, or -1 when the grid shows no rows.
int32_t cursor_record(const Viewer *viewer) {
    if (viewer->cur_row < 0 || viewer->cur_row >= shown_row_count(viewer)) return -1;
    return shown_file_row(viewer, viewer->cur_row);
}

// Puts the cursor back on file row `record` where it now shows (else on the first row), the
// selection collapsed onto it.
void keep_cursor_on(Viewer *viewer, int32_t record) {
    int32_t at = 0;
    const int32_t n = shown_row_count(viewer);
    for (int32_t r = 0; r < n && record >= 0; ++r)
        if (shown_file_row(viewer, r) == record) {
            at = r;
            break;
        }
    viewer->cur_row = viewer->anchor_row = at;
    viewer->anchor_col = viewer->cur_col;
}

// Every row in the sort's order, or null for file order: `sorted` while a filter holds, `shown`
// while only a sort does.
const int32_t *sort_order(const RowOrder &o) {
    if (o.sort_dir == SORT_NONE) return nullptr;
    return o.filtered ? o.sorted : o.shown;
}

} // namespace

int grid_set_filter(Viewer *viewer, const Needle *needle) {
    RowOrder &o = viewer->order;
    const int32_t record = cursor_record(viewer);
    const int32_t rows = viewer->row_count;
    if (!needle || needle->char_count <= 0) {
        if (!o.filtered) return 1;
        // The sort's order, when one holds, becomes what shows again.
        mem_free(o.shown);
        o.shown = o.sorted;
        o.shown_count = o.sorted ? rows : 0;
        o.sorted = nullptr;
        o.filtered = 0;
        keep_cursor_on(viewer, record);
        return 1;
    }
    const size_t bytes = (static_cast<size_t>(rows) + 7) / 8;
    uint8_t *bits = static_cast<uint8_t *>(mem_alloc(bytes ? bytes : 1));
    if (!bits) return 0;
    memset(bits, 0, bytes);
    const int32_t count = grid_scan_rows(viewer, needle, bits);
    if (stop_asked()) { // the scan gave up part of the way
        mem_free(bits);
        return 0;
    }
    int32_t *shown = static_cast<int32_t *>(mem_alloc((count ? count : 1) * sizeof(int32_t)));
    if (!shown) {
        mem_free(bits);
        return 0;
    }
    const int32_t *order = sort_order(o);
    int32_t k = 0;
    for (int32_t i = 0; i < rows && k < count; ++i) {
        int32_t f = order ? order[i] : i;
        if (bits[f / 8] & (1u << (f % 8))) shown[k++] = f;
    }
    mem_free(bits);
    if (o.sort_dir != SORT_NONE && !o.filtered) {
        o.sorted = o.shown; // the whole sort stays for the next filter text
        o.shown = nullptr;
    }
    mem_free(o.shown);
    o.shown = shown;
    o.shown_count = count;
    o.filtered = 1;
    keep_cursor_on(viewer, record);
    return 1;
}

namespace {

// Back to file order: no order at all, or the filter's rows in file order.
void unsort(RowOrder &o) {
    if (o.filtered) {
        sort_rows(o.shown, static_cast<size_t>(o.shown_count));
        mem_free(o.sorted);
        o.sorted = nullptr;
    } else {
        mem_free(o.shown);
        o.shown = nullptr;
        o.shown_count = 0;
    }
    o.sort_dir = SORT_NONE;
}

// The filter's rows (o.shown) again, in the order of `all` (every row): a pass over `all` that
// keeps the rows of the filter. Returns 0 when the memory for marking them cannot be had.
int refilter(RowOrder &o, const int32_t *all, int32_t rows) {
    const size_t bytes = (static_cast<size_t>(rows) + 7) / 8;
    uint8_t *bits = static_cast<uint8_t *>(mem_alloc(bytes ? bytes : 1));
    if (!bits) return 0;
    memset(bits, 0, bytes);
    for (int32_t i = 0; i < o.shown_count; ++i)
        bits[o.shown[i] / 8] = static_cast<uint8_t>(bits[o.shown[i] / 8] | 1u << (o.shown[i] % 8));
    int32_t k = 0;
    for (int32_t i = 0; i < rows; ++i)
        if (bits[all[i] / 8] & (1u << (all[i] % 8))) o.shown[k++] = all[i];
    mem_free(bits);
    return 1;
}

} // namespace

int grid_set_sort(Viewer *viewer, int32_t col, SortDir dir) {
    RowOrder &o = viewer->order;
    const int32_t record = cursor_record(viewer);
    const int32_t rows = viewer->row_count;
    if (dir == SORT_NONE || col < 0 || col >= viewer->col_count || rows <= 0) {
        if (o.sort_dir != SORT_NONE) unsort(o);
        keep_cursor_on(viewer, record);
        return 1;
    }
    const ColumnKind kind = viewer->col_types ? viewer->col_types[col].kind : KIND_TEXT;
    int32_t *all = o.filtered ? o.sorted : (o.sort_dir != SORT_NONE ? o.shown : nullptr);
    if (all && o.sort_col == col && o.sort_dir != dir) {
        // The same column the other way round: one pass over each order, equal values kept in
        // file order.
        order_descending(viewer, col, kind, all, rows);
        if (o.filtered) order_descending(viewer, col, kind, o.shown, o.shown_count);
    } else if (!(all && o.sort_col == col)) {
        bool fresh = !all;
        if (fresh) {
            all = static_cast<int32_t *>(mem_alloc(static_cast<size_t>(rows) * sizeof(int32_t)));
            if (!all) return 0;
        }
        // The order before is written over (its block reused): when the sort is asked to stop
        // part of the way, nothing of it is left, and the rows go back to file order.
        if (!order_rows(viewer, col, kind, nullptr, rows, all)) {
            if (fresh) {
                mem_free(all);
            } else if (stop_asked()) {
                unsort(o); // a filter's rows are whole still, and go back to file order too
                keep_cursor_on(viewer, record);
            }
            return 0;
        }
        if (dir == SORT_DESC) order_descending(viewer, col, kind, all, rows);
        if (o.filtered) {
            if (!refilter(o, all, rows)) {
                // The filter's rows stay as they were, in file order, and the sort holds nowhere.
                if (fresh) mem_free(all);
                unsort(o);
                keep_cursor_on(viewer, record);
                return 0;
            }
            o.sorted = all;
        } else {
            o.shown = all;
            o.shown_count = rows;
        }
    }
    o.sort_col = col;
    o.sort_dir = dir;
    keep_cursor_on(viewer, record);
    return 1;
}

void grid_forget_order(Viewer *viewer) {
    const int32_t n = shown_row_count(viewer);
    if (viewer->cur_row >= 0 && viewer->cur_row < n)
        viewer->cur_row = shown_file_row(viewer, viewer->cur_row);
    if (viewer->anchor_row >= 0 && viewer->anchor_row < n)
        viewer->anchor_row = shown_file_row(viewer, viewer->anchor_row);
    viewer_free_order(viewer);
}

void format_row_count(char *out, size_t n, const Viewer *viewer) {
    if (n == 0) return;
    char total[32], shown[32];
    format_thousands(total, sizeof total, static_cast<unsigned long long>(viewer->row_count));
    if (!viewer->order.filtered) {
        snprintf(out, n, "%s rows", total);
        return;
    }
    format_thousands(shown, sizeof shown, static_cast<unsigned long long>(shown_row_count(viewer)));
    snprintf(out, n, "%s of %s rows", shown, total);
}

void format_grid_status(char *out, size_t n, const Viewer *viewer) {
    if (n == 0) return;
    char count[96] = "";
    if (viewer->order.filtered) {
        char name[TABLE_NAME_MAX + 1];
        table_name_of(viewer->copy_line ? viewer->copy_line : "", name);
        format_row_count(count, sizeof count, viewer);
        snprintf(out, n, "%s   \xE2\x80\x94   %s", name, count);
    } else {
        snprintf(out, n, "%s", viewer->status);
    }
    // On the Data tab, the cursor's column: its name and type.
    if (viewer->tab != TAB_DATA || viewer->cur_col < 0 || viewer->cur_col >= viewer->col_count)
        return;
    size_t len = strlen(out);
    const char *type = viewer->col_types ? viewer->col_types[viewer->cur_col].name : "";
    snprintf(out + len, n - len, "   \xC2\xB7   %s%s%s", column_title(viewer, viewer->cur_col),
             type[0] ? " " : "", type);
}
