// Keeping the cursor cell in view: horizontal scrolling to hidden columns, vertical to far rows.
#include "viewer_fixture.h"

namespace {

class GridScroll : public ViewerTest {
  protected:
    // The grid's client rectangle, where a visible cell lies.
    RECT view() {
        RECT client;
        GetClientRect(grid(), &client);
        return client;
    }
    int top_row() { return static_cast<int>(SendMessageA(grid(), LVM_GETTOPINDEX, 0, 0)); }
    int rows_per_page() {
        return static_cast<int>(SendMessageA(grid(), LVM_GETCOUNTPERPAGE, 0, 0));
    }
    bool row_in_view(int row) { return row >= top_row() && row < top_row() + rows_per_page(); }
};

// Ten columns, each wider than a third of a 400-pixel view and narrower than the view.
std::string wide_columns() {
    std::string names, row;
    for (int i = 0; i < 10; ++i) {
        names += (i ? ", c" : "c") + std::to_string(i);
        row += (i ? "\t" : "") + std::to_string(i) + std::string(20, 'm');
    }
    return data_dump(names, row + "\n" + row + "\n");
}

std::string many_rows(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) lines += std::to_string(i) + "\n";
    return data_dump("n", lines);
}

} // namespace

TEST_F(GridScroll, MovingRightBringsEachHiddenColumnWhollyIntoView) {
    resize_lister(&lister, 400, 300);
    ASSERT_NE(open(wide_columns()), nullptr);
    RECT client = view();
    ASSERT_GT(cell_rect(grid(), 0, 9).right, client.right) << "the last column starts hidden";
    for (int column = 1; column < 10; ++column) {
        ASSERT_LT(column_width(grid(), column), client.right - 4);
        press_key(grid(), VK_RIGHT);
        ASSERT_EQ(background(0, column), kCursorFocused);
        RECT cell = cell_rect(grid(), 0, column);
        EXPECT_GE(cell.left, 0) << "column " << column;
        EXPECT_LE(cell.right, client.right) << "column " << column;
    }
}

TEST_F(GridScroll, AColumnHiddenOnTheRightEndsTwoPixelsInsideTheView) {
    resize_lister(&lister, 400, 300);
    ASSERT_NE(open(wide_columns()), nullptr);
    RECT client = view();
    int column = 1;
    while (cell_rect(grid(), 0, column).right <= client.right) {
        press_key(grid(), VK_RIGHT);
        ++column;
    }
    press_key(grid(), VK_RIGHT);
    EXPECT_EQ(cell_rect(grid(), 0, column).right, client.right - 2);
}

TEST_F(GridScroll, MovingBackLeftBringsHiddenColumnsBackTwoPixelsInsideTheView) {
    resize_lister(&lister, 400, 300);
    ASSERT_NE(open(wide_columns()), nullptr);
    press_key(grid(), VK_END, true);
    ASSERT_LT(cell_rect(grid(), 0, 0).left, 0) << "the first columns are scrolled away";
    int scrolled = 0;
    for (int column = 8; column >= 1; --column) {
        bool hidden = cell_rect(grid(), 1, column).left < 0;
        press_key(grid(), VK_LEFT);
        if (hidden) {
            ++scrolled;
            EXPECT_EQ(cell_rect(grid(), 1, column).left, 2) << "column " << column;
        } else {
            EXPECT_GE(cell_rect(grid(), 1, column).left, 0) << "column " << column;
        }
    }
    EXPECT_GT(scrolled, 0);
    press_key(grid(), VK_HOME);
    EXPECT_EQ(GetScrollPos(grid(), SB_HORZ), 0) << "the view is back at its left end";
}

TEST_F(GridScroll, JumpingToTheLastRowAndBackScrollsVertically) {
    ASSERT_NE(open(many_rows(500)), nullptr);
    ASSERT_GT(rows_per_page(), 0);
    press_key(grid(), VK_DOWN, true);
    EXPECT_TRUE(row_in_view(499)) << "top row " << top_row();
    press_key(grid(), VK_UP, true);
    EXPECT_EQ(top_row(), 0);
}

TEST_F(GridScroll, ReturningToTheDataTabBringsTheCursorBackIntoView) {
    ASSERT_NE(open(many_rows(500)), nullptr);
    press_key(grid(), VK_END, true);
    SendMessageA(grid(), LVM_ENSUREVISIBLE, 0, FALSE);
    ASSERT_FALSE(row_in_view(499));
    press_key(grid(), '2');
    ASSERT_TRUE(text_shown());
    press_key(edit(), '1');
    ASSERT_TRUE(grid_shown());
    EXPECT_TRUE(row_in_view(499)) << "top row " << top_row();
    EXPECT_EQ(GetFocus(), grid());
}
