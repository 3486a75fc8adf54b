// Rows wider than any table: the column count taken from the first row stops at the most columns
// a table can have, and the cursor, the selection and its copy keep within it, while the Full SQL
// script still carries every row whole.
#include <gtest/gtest.h>

#include <string>

#include "document/tab_text.h"
#include "grid/cursor.h"
#include "grid/selection_text.h"
#include "temp_dump.h"

namespace {

// Fields "f0", "f1", ... joined by tabs.
std::string row_of(int fields) {
    std::string row = "f0";
    for (int i = 1; i < fields; ++i) row += "\tf" + std::to_string(i);
    return row;
}

// A data block without column names, whose rows are these lines.
std::string unnamed_dump(const std::string &lines) {
    return magic() + section("DATA", "COPY t FROM stdin;\n" + lines + "\\.\n");
}

std::string selection_of(const Viewer &v) {
    StrBuf text;
    if (!selection_text(&v, &text)) return "<nothing>";
    std::string out(text.data, text.len);
    sb_drop(&text);
    return out;
}

} // namespace

TEST(WideRows, ColumnCountFromTheFirstRowStopsAtTheTableLimit) {
    struct Case {
        int fields, expected;
    } cases[] = {{1599, 1599}, {1600, 1600}, {1601, 1600}, {20000, 1600}};
    for (const Case &c : cases) {
        LoadedViewer d(unnamed_dump(row_of(c.fields) + "\n"));
        ASSERT_EQ(d.loaded, 1);
        EXPECT_EQ(d.v.col_count, c.expected) << c.fields << " fields";
    }
}

TEST(WideRows, CursorStopsAtTheLastShownColumn) {
    LoadedViewer d(unnamed_dump(row_of(20000) + "\n" + row_of(3) + "\n"));
    ASSERT_EQ(d.loaded, 1);
    grid_apply_key(&d.v, KEY_END, 0, 0, 0);
    EXPECT_EQ(d.v.cur_col, MAX_TABLE_COLS - 1);
    grid_apply_key(&d.v, KEY_RIGHT, 0, 0, 0);
    EXPECT_EQ(d.v.cur_col, MAX_TABLE_COLS - 1);
    grid_goto(&d.v, 1, 5000, 0);
    EXPECT_EQ(d.v.cur_row, 1);
    EXPECT_EQ(d.v.cur_col, MAX_TABLE_COLS - 1);
}

TEST(WideRows, SelectAllCopiesTheShownColumnsOnly) {
    // The second row is as wide as the first; the third is short and gets empty cells.
    LoadedViewer d(unnamed_dump(row_of(20000) + "\n" + row_of(20000) + "\n" + row_of(2) + "\n"));
    ASSERT_EQ(d.loaded, 1);
    grid_apply_key(&d.v, KEY_A, 1, 0, 0);
    const std::string shown = row_of(MAX_TABLE_COLS);
    EXPECT_EQ(selection_of(d.v), shown + "\r\n" + shown + "\r\n" + row_of(2) +
                                     std::string(MAX_TABLE_COLS - 2, '\t') + "\r\n");

    // A selection ending in the last shown column, starting inside the row.
    d.v.anchor_row = d.v.cur_row = 1;
    d.v.anchor_col = MAX_TABLE_COLS - 2;
    EXPECT_EQ(selection_of(d.v), "f1598\tf1599\r\n");
}

TEST(WideRows, FullSqlKeepsEveryFieldOfEveryRow) {
    const std::string wide = row_of(20000);
    LoadedViewer d(unnamed_dump(wide + "\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_NE(tab_string(&d.v, TAB_FULLSQL).find(wide + "\n\\.\n"), std::string::npos);
}
