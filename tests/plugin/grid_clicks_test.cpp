// Left clicks in the grid: placing the cursor, extending with Shift, and clicks off the rows.
#include "viewer_fixture.h"

namespace {

class GridClicks : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_NE(open(data_dump("a, b, c", "1\t2\t3\n4\t5\t6\n7\t8\t9\n10\t11\t12\n")), nullptr);
    }
    void click_cell(int row, int column, bool shift = false) {
        click(grid(), cell_center(grid(), row, column), shift);
    }
    std::string grid_cells() { return cells(4, 3); }
    int rows_the_control_selected() {
        return static_cast<int>(SendMessageA(grid(), LVM_GETSELECTEDCOUNT, 0, 0));
    }
};

} // namespace

TEST_F(GridClicks, AClickPlacesCursorAndAnchorOnTheClickedCell) {
    click_cell(2, 1);
    EXPECT_EQ(grid_cells(), "...|...|.C.|...");
    click_cell(3, 0);
    EXPECT_EQ(grid_cells(), "...|...|...|C..");
    click_cell(0, 2);
    EXPECT_EQ(grid_cells(), "..C|...|...|...");
    EXPECT_EQ(rows_the_control_selected(), 0) << "the control saw the press";
}

TEST_F(GridClicks, AShiftClickExtendsTheSelectionFromTheAnchor) {
    click_cell(1, 2);
    click_cell(3, 0, true);
    EXPECT_EQ(grid_cells(), "...|SSS|SSS|CSS");
    click_cell(0, 1, true);
    EXPECT_EQ(grid_cells(), ".CS|.SS|...|...");
}

TEST_F(GridClicks, AClickGivesTheGridTheFocus) {
    ASSERT_TRUE(show_tab(1));
    SetFocus(lister.hwnd);
    click_cell(1, 1);
    EXPECT_EQ(GetFocus(), grid());
    EXPECT_EQ(background(1, 1), kCursorFocused);
}

TEST_F(GridClicks, AClickBelowTheLastRowOnlyFocusesTheGrid) {
    press_key(grid(), VK_DOWN);
    press_key(grid(), VK_RIGHT, false, true);
    SetFocus(lister.hwnd);
    RECT last = cell_rect(grid(), 3, 1), client;
    GetClientRect(grid(), &client);
    ASSERT_LT(last.bottom + 40, client.bottom);
    click(grid(), POINT{(last.left + last.right) / 2, last.bottom + 30});
    EXPECT_EQ(GetFocus(), grid());
    EXPECT_EQ(grid_cells(), "...|SC.|...|...");
}
