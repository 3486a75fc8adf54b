// Tab texts, the cached Full SQL script and the header bar line.
#include "document/tab_text.h"

#include "base/strbuf.h"
#include "document/rows.h"

#include <stdio.h>
#include <string.h>

int compose_full_sql(Viewer *viewer) {
    if (viewer->full_sql) return 1;
    StrBuf sb;
    if (!sb_init(&sb)) return 0;
    if (viewer->sql && viewer->sql_len > 0) {
        sb_add_len(&sb, viewer->sql, viewer->sql_len);
        sb_add_len(&sb, "\n", 1);
    }
    if (viewer->copy_line && viewer->copy_line[0]) {
        sb_add_len(&sb, "\n", 1);
        sb_add(&sb, viewer->copy_line);
        sb_add_len(&sb, "\n", 1);
        // The rows lie one after another with their line feeds between: one stretch of bytes.
        if (viewer->row_count > 0) {
            sb_add_len(&sb, rows_begin(viewer),
                       static_cast<size_t>(rows_end(viewer) - rows_begin(viewer)));
            sb_add_len(&sb, "\n", 1);
        }
        sb_add_len(&sb, "\\.\n", 3);
    }
    if (viewer->info && viewer->info_len > 0) {
        sb_add_len(&sb, "\n", 1);
        sb_add_len(&sb, viewer->info, viewer->info_len);
    }
    viewer->full_sql = sb_take(&sb);
    return viewer->full_sql != nullptr;
}

// A text and its length, or a literal when it is absent.
static const char *text_or(const char *text, size_t text_len, const char *absent, size_t *len) {
    *len = text ? text_len : strlen(absent);
    return text ? text : absent;
}

const char *tab_text(Viewer *viewer, int tab, size_t *len) {
    switch (tab) {
    case TAB_DATA: return text_or(nullptr, 0, "", len);
    case TAB_SQL: return text_or(viewer->sql, viewer->sql_len, "(no SQL)", len);
    case TAB_INFO: return text_or(viewer->info, viewer->info_len, "(no info)", len);
    default:
        if (!compose_full_sql(viewer)) return text_or(nullptr, 0, "(no SQL)", len);
        return text_or(viewer->full_sql, strlen(viewer->full_sql), "", len);
    }
}

const char *tab_copy_text(const Viewer *viewer, size_t *len) {
    if (viewer->tab == TAB_FULLSQL)
        return text_or(viewer->full_sql, viewer->full_sql ? strlen(viewer->full_sql) : 0, "", len);
    if (viewer->tab == TAB_SQL) return text_or(viewer->sql, viewer->sql_len, "", len);
    return text_or(viewer->info, viewer->info_len, "", len);
}

const char *tab_name(int tab) {
    switch (tab) {
    case TAB_DATA: return "Data";
    case TAB_SQL: return "SQL";
    case TAB_INFO: return "Info";
    default: return "Full SQL";
    }
}

void format_bar_text(char *out, size_t n, int tab, const char *status) {
    static const char *const current[4] = {"[1 Data]", "[2 SQL]", "[3 Info]", "[4 Full SQL]"};
    static const char *const other[4] = {" 1 Data ", " 2 SQL ", " 3 Info ", " 4 Full SQL "};
    const char *label[4];
    for (int i = 0; i < 4; ++i) label[i] = (tab == i + 1) ? current[i] : other[i];
    snprintf(out, n, "  %s %s %s %s        %s", label[0], label[1], label[2], label[3], status);
}
