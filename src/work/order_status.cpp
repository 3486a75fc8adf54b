// The status line's count of the rows shown, and the cursor's column.
#include "work/order_status.h"

#include "base/thousands.h"
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

void format_grid_status(char *out, size_t n, const Viewer *viewer) {
    if (n == 0) return;
    if (shows_part(viewer) && viewer->copy_line) {
        char name[TABLE_NAME_MAX + 1], count[96];
        table_name_of(viewer->copy_line, name);
        format_row_count(count, sizeof count, viewer);
        snprintf(out, n, "%s   \xE2\x80\x94   %s%s%s", name,
                 viewer->load == LOAD_COUNTING ? "counting\xE2\x80\xA6 " : "", count,
                 viewer->read_failed ? "   \xE2\x80\x94   the file could not be read whole" : "");
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
