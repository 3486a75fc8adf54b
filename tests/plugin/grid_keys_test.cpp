// Spreadsheet navigation in the grid: cursor moves, Shift-extended selection and select-all.
#include "viewer_fixture.h"

namespace {

class GridKeys : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_NE(open(data_dump("a, b, c", "1\t2\t3\n4\t5\t6\n7\t8\t9\n10\t11\t12\n")), nullptr);
    }
    void keys(std::initializer_list<UINT> presses, bool ctrl = false, bool shift = false) {
        for (UINT key : presses) press_key(grid(), key, ctrl, shift);
    }
    std::string grid_cells() { return cells(4, 3); }
};

} // namespace

TEST_F(GridKeys, ArrowsMoveCursorAndAnchorTogetherWithinTheGrid) {
    EXPECT_EQ(grid_cells(), "C..|...|...|...");
    keys({VK_DOWN, VK_RIGHT});
    EXPECT_EQ(grid_cells(), "...|.C.|...|...");
    keys({VK_UP, VK_LEFT, VK_LEFT, VK_UP});
    EXPECT_EQ(grid_cells(), "C..|...|...|...");
    keys({VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN});
    EXPECT_EQ(grid_cells(), "...|...|...|..C");
}

TEST_F(GridKeys, ShiftExtendsTheSelectionFromTheAnchorAndAPlainMoveDropsIt) {
    keys({VK_DOWN});
    keys({VK_RIGHT, VK_DOWN}, false, true);
    EXPECT_EQ(grid_cells(), "...|SS.|SC.|...");
    keys({VK_UP, VK_UP}, false, true);
    EXPECT_EQ(grid_cells(), "SC.|SS.|...|...");
    keys({VK_RIGHT});
    EXPECT_EQ(grid_cells(), "..C|...|...|...");
}

TEST_F(GridKeys, CtrlArrowsJumpToTheEdges) {
    keys({VK_DOWN}, true);
    EXPECT_EQ(grid_cells(), "...|...|...|C..");
    keys({VK_RIGHT}, true);
    EXPECT_EQ(grid_cells(), "...|...|...|..C");
    keys({VK_UP}, true);
    EXPECT_EQ(grid_cells(), "..C|...|...|...");
    keys({VK_LEFT}, true);
    EXPECT_EQ(grid_cells(), "C..|...|...|...");
}

TEST_F(GridKeys, HomeAndEndGoToTheRowsEndsAndWithCtrlToTheGridsCorners) {
    keys({VK_DOWN, VK_END});
    EXPECT_EQ(grid_cells(), "...|..C|...|...");
    keys({VK_HOME});
    EXPECT_EQ(grid_cells(), "...|C..|...|...");
    keys({VK_END}, true);
    EXPECT_EQ(grid_cells(), "...|...|...|..C");
    keys({VK_HOME}, true);
    EXPECT_EQ(grid_cells(), "C..|...|...|...");
    keys({VK_END}, true, true);
    EXPECT_EQ(grid_cells(), "SSS|SSS|SSS|SSC");
}

TEST_F(GridKeys, CtrlASelectsTheWholeGridWhetherShiftIsHeldOrNot) {
    keys({VK_DOWN, VK_RIGHT});
    keys({'A'}, true);
    EXPECT_EQ(grid_cells(), "SSS|SSS|SSS|SSC");
    keys({VK_UP});
    keys({'A'}, true, true);
    EXPECT_EQ(grid_cells(), "SSS|SSS|SSS|SSC");
}

TEST_F(GridKeys, LettersWithoutCtrlNeitherMoveNorSelect) {
    keys({VK_DOWN, VK_RIGHT});
    keys({'A', 'C', 'Z'});
    keys({'A'}, false, true);
    EXPECT_EQ(grid_cells(), "...|.C.|...|...");
}

TEST_F(GridKeys, PageKeysMoveByTheRowsTheGridShowsFully) {
    std::string lines;
    for (int i = 0; i < 100; ++i) lines += std::to_string(i) + "\n";
    ASSERT_EQ(load_next(data_dump("n", lines)), 0);
    int page = static_cast<int>(SendMessageA(grid(), LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(page, 1);
    ASSERT_LT(3 * page, 100);
    keys({VK_NEXT});
    EXPECT_EQ(background(page, 0), kCursorFocused);
    keys({VK_NEXT}, true, true);
    EXPECT_EQ(background(2 * page, 0), kCursorFocused);
    EXPECT_EQ(background(page, 0), kSelectedFocused);
    keys({VK_PRIOR, VK_PRIOR, VK_PRIOR});
    EXPECT_EQ(background(0, 0), kCursorFocused);
    EXPECT_EQ(background(page, 0), page % 2 ? kOddRow : kEvenRow) << "the selection is gone";
}
