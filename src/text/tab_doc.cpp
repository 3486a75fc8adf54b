// Tab texts as blocks: the sections with their line tables, and the Full SQL script laid out from
// the sections, the header line and the row array in the order compose_full_sql writes them.
#include "text/tab_doc.h"

#include "document/rows.h"

#include <string.h>

namespace {

const char NO_SQL[] = "(no SQL)";
const char NO_INFO[] = "(no info)";

int show_placeholder(TextDoc *doc, const char *text) {
    text_doc_set_plain(doc, text, strlen(text), nullptr);
    return 0;
}

// The section's line table, built on its first use; null when its memory cannot be had (a later
// visit tries again).
const LineTable *section_table(const char *text, size_t len, LineTable *table, int *built) {
    if (!*built) {
        if (!line_table_build(table, text, len)) return nullptr;
        *built = 1;
    }
    return table;
}

TextBlock block(const char *bytes, size_t len, int line_feed_after, const LineTable *table) {
    return TextBlock{bytes, len, line_feed_after, table, nullptr, 0};
}

int show_section(const char *text, size_t len, LineTable *table, int *built,
                 const char *placeholder, TextDoc *doc) {
    if (!text) return show_placeholder(doc, placeholder);
    const LineTable *t = section_table(text, len, table, built);
    if (!t) return show_placeholder(doc, placeholder);
    text_doc_set_plain(doc, text, len, t);
    return 1;
}

// The script: the SQL and a line feed; an empty line, the header line, the rows and the
// terminator line, each ending in a line feed; an empty line and the information text. The rows
// are one block over the document's row array: they lie one after another in the file, their line
// feeds between them (document/rows.h), so the text reads exactly the bytes the script copies,
// with no work per row.
int show_full_sql(Viewer *v, TabLines *lines, TextDoc *doc) {
    TextBlock blocks[TEXT_MAX_BLOCKS];
    int n = 0;
    if (v->sql && v->sql_len > 0) {
        size_t len = v->sql_len;
        const LineTable *t = section_table(v->sql, len, &lines->sql, &lines->sql_built);
        if (!t) return show_placeholder(doc, NO_SQL);
        blocks[n++] = block(v->sql, len, 1, t);
    }
    if (v->copy_line && v->copy_line[0]) {
        blocks[n++] = block("", 0, 1, nullptr);
        blocks[n++] = block(v->copy_line, strlen(v->copy_line), 1, nullptr);
        if (v->row_count > 0) {
            TextBlock rows =
                block(rows_begin(v), static_cast<size_t>(rows_end(v) - rows_begin(v)), 1, nullptr);
            rows.rows = &v->rows;
            rows.row_count = static_cast<size_t>(v->row_count);
            blocks[n++] = rows;
        }
        blocks[n++] = block("\\.", 2, 1, nullptr);
    }
    if (v->info && v->info_len > 0) {
        size_t len = v->info_len;
        const LineTable *t = section_table(v->info, len, &lines->info, &lines->info_built);
        if (!t) return show_placeholder(doc, NO_SQL);
        blocks[n++] = block("", 0, 1, nullptr);
        blocks[n++] = block(v->info, len, 0, t);
    }
    text_doc_set(doc, blocks, n);
    return 1;
}

} // namespace

void tab_lines_free(TabLines *lines) {
    if (lines->sql_built) line_table_free(&lines->sql);
    if (lines->info_built) line_table_free(&lines->info);
    lines->sql_built = lines->info_built = 0;
}

int tab_doc(Viewer *viewer, int t, TabLines *lines, TextDoc *doc) {
    switch (t) {
    case TAB_DATA: text_doc_set(doc, nullptr, 0); return 0;
    case TAB_SQL:
        return show_section(viewer->sql, viewer->sql_len, &lines->sql, &lines->sql_built, NO_SQL,
                            doc);
    case TAB_INFO:
        return show_section(viewer->info, viewer->info_len, &lines->info, &lines->info_built,
                            NO_INFO, doc);
    default: return show_full_sql(viewer, lines, doc);
    }
}
