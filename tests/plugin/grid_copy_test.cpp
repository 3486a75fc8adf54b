// Copying from the grid: the selection reaches the clipboard as exact tab-separated text.
#include "viewer_fixture.h"

namespace {

class GridCopy : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_NE(open(data_dump("a, b, c", "1\tpen\t\\N\n"
                                            "2\ta\\tb\tone\\ntwo\n"
                                            "3\tGrüße\t日本\\\\x\n")),
                  nullptr);
        set_clipboard_text(L"former");
    }
};

} // namespace

TEST_F(GridCopy, CtrlCCopiesTheCursorCellAsOneLine) {
    press_key(grid(), 'C', true);
    EXPECT_EQ(clipboard_text(), L"1\r\n");
}

TEST_F(GridCopy, CtrlCCopiesTheSelectionRowByRowWithEscapesDecoded) {
    press_key(grid(), VK_DOWN, false, true);
    press_key(grid(), VK_RIGHT, false, true);
    press_key(grid(), 'C', true);
    EXPECT_EQ(clipboard_text(), L"1\tpen\r\n2\ta b\r\n");
}

TEST_F(GridCopy, CtrlInsertCopiesLikeCtrlC) {
    press_key(grid(), VK_RIGHT);
    press_key(grid(), VK_END, true, true);
    press_key(grid(), VK_INSERT, true);
    EXPECT_EQ(clipboard_text(), L"pen\t\r\na b\tonetwo\r\nGrüße\t日本\\x\r\n");
}

TEST_F(GridCopy, CtrlAThenCtrlCCopiesTheWholeTable) {
    press_key(grid(), 'A', true);
    press_key(grid(), 'C', true);
    EXPECT_EQ(clipboard_text(), L"1\tpen\t\r\n2\ta b\tonetwo\r\n3\tGrüße\t日本\\x\r\n");
}

TEST_F(GridCopy, CAndInsertWithoutCtrlCopyNothing) {
    press_key(grid(), 'C');
    press_key(grid(), VK_INSERT);
    press_key(grid(), 'C', false, true);
    EXPECT_EQ(clipboard_text(), L"former");
}

TEST_F(GridCopy, AGridWithoutRowsCopiesNothingAndIgnoresMoves) {
    ASSERT_EQ(load_next(data_dump("a, b", "")), 0);
    press_key(grid(), 'A', true);
    press_key(grid(), VK_DOWN);
    press_key(grid(), 'C', true);
    EXPECT_EQ(clipboard_text(), L"former");
    EXPECT_TRUE(grid_shown());
}
