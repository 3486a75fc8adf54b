// Tab texts, the cached Full SQL script and the header bar line.
#include "document/tab_text.h"

#include "base/strbuf.h"

#include <stdio.h>
#include <string.h>

int compose_full_sql(Viewer *viewer) {
    if (viewer->full_sql) return 1;
    StrBuf sb;
    if (!sb_init(&sb)) return 0;
    if (viewer->sql && viewer->sql[0]) {
        sb_add(&sb, viewer->sql);
        sb_add_len(&sb, "\n", 1);
    }
    if (viewer->copy_line && viewer->copy_line[0]) {
        sb_add_len(&sb, "\n", 1);
        sb_add(&sb, viewer->copy_line);
        sb_add_len(&sb, "\n", 1);
        // Each row's length is where the next row starts; only the last needs measuring.
        for (int32_t r = 0; r < viewer->row_count && !sb.failed; ++r) {
            const char *row = viewer->rows[r];
            size_t len = r + 1 < viewer->row_count
                             ? static_cast<size_t>(viewer->rows[r + 1] - row) - 1
                             : strlen(row);
            sb_add_len(&sb, row, len);
            sb_add_len(&sb, "\n", 1);
        }
        sb_add_len(&sb, "\\.\n", 3);
    }
    if (viewer->info && viewer->info[0]) {
        sb_add_len(&sb, "\n", 1);
        sb_add(&sb, viewer->info);
    }
    viewer->full_sql = sb_take(&sb);
    return viewer->full_sql != nullptr;
}

const char *tab_text(Viewer *viewer, int tab) {
    switch (tab) {
    case TAB_DATA: return "";
    case TAB_SQL: return viewer->sql ? viewer->sql : "(no SQL)";
    case TAB_INFO: return viewer->info ? viewer->info : "(no info)";
    default: return compose_full_sql(viewer) ? viewer->full_sql : "(no SQL)";
    }
}

const char *tab_copy_text(const Viewer *viewer) {
    const char *text = viewer->tab == TAB_FULLSQL ? viewer->full_sql
                       : viewer->tab == TAB_SQL   ? viewer->sql
                                                  : viewer->info;
    return text ? text : "";
}

void format_bar_text(char *out, size_t n, int tab, const char *status) {
    static const char *const current[4] = {"[1 Data]", "[2 SQL]", "[3 Info]", "[4 Full SQL]"};
    static const char *const other[4] = {" 1 Data ", " 2 SQL ", " 3 Info ", " 4 Full SQL "};
    const char *label[4];
    for (int i = 0; i < 4; ++i) label[i] = (tab == i + 1) ? current[i] : other[i];
    snprintf(out, n, "  %s %s %s %s        %s", label[0], label[1], label[2], label[3], status);
}
