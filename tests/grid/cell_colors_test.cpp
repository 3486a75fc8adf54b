// Cell colours: cursor, selection and row stripes, with and without the grid's focus.
#include <gtest/gtest.h>

#include "grid/cells.h"
#include "temp_dump.h"

// 4 rows by 3 columns, anchor (1, 0) and cursor (2, 1): the selection is rows 1-2, columns 0-1.
class CellColorsTest : public ::testing::Test {
  protected:
    LoadedViewer d{data_dump("a, b, c", "1\t2\t3\n1\t2\t3\n1\t2\t3\n1\t2\t3\n")};
    void SetUp() override {
        ASSERT_EQ(d.loaded, 1);
        d.v.anchor_row = 1;
        d.v.anchor_col = 0;
        d.v.cur_row = 2;
        d.v.cur_col = 1;
    }
    void expect(int32_t row, int32_t col, int focused, uint32_t back, uint32_t text) {
        CellColors c = cell_colors(&d.v, row, col, focused);
        EXPECT_EQ(c.back, back) << "cell (" << row << ", " << col << ") focused " << focused;
        EXPECT_EQ(c.text, text) << "cell (" << row << ", " << col << ") focused " << focused;
    }
};

TEST_F(CellColorsTest, CursorCellIsWhiteOnBlueWhenFocusedAndWhiteOnGreyWhenNot) {
    expect(2, 1, 1, 0xB56126, 0xFFFFFF);
    expect(2, 1, 0, 0xAAAAAA, 0xFFFFFF);
}

TEST_F(CellColorsTest, RestOfTheSelectionIsLightBlueWhenFocusedAndLightGreyWhenNot) {
    for (int32_t row = 1; row <= 2; ++row) {
        for (int32_t col = 0; col <= 1; ++col) {
            if (row == 2 && col == 1) continue;
            expect(row, col, 1, 0xF1D9C5, 0x000000);
            expect(row, col, 0, 0xE4E4E4, 0x000000);
        }
    }
}

TEST_F(CellColorsTest, OtherCellsAreStripedByRowWhateverTheFocus) {
    for (int focused = 0; focused <= 1; ++focused) {
        expect(0, 0, focused, 0xFFFFFF, 0x000000);
        expect(1, 2, focused, 0xFAF7F5, 0x000000);
        expect(2, 2, focused, 0xFFFFFF, 0x000000);
        expect(3, 1, focused, 0xFAF7F5, 0x000000);
    }
}

TEST_F(CellColorsTest, AnchorAfterTheCursorSpansTheSameRectangle) {
    d.v.anchor_row = 2;
    d.v.anchor_col = 1;
    d.v.cur_row = 1;
    d.v.cur_col = 0;
    expect(1, 0, 1, 0xB56126, 0xFFFFFF);
    expect(2, 1, 1, 0xF1D9C5, 0x000000);
    expect(3, 1, 1, 0xFAF7F5, 0x000000);
}
