// The palette: the viewer's own colours, and in a high-contrast theme only the theme's.
#include <gtest/gtest.h>

#include "grid/palette.h"
#include "temp_dump.h"

#include <set>

namespace {

// Colours no theme shares with another part, so that a colour read back names its part.
const SystemColors kTheme = {0x000001, 0x000002, 0x000003, 0x000004, 0x000005, 0x000006};

// 4 rows by 3 columns, the selection rows 1-2 and columns 0-1, the cursor at (2, 1).
class PaletteTest : public ::testing::Test {
  protected:
    LoadedViewer d{data_dump("a, b, c", "1\t2\t3\n1\t2\t3\n1\t2\t3\n1\t2\t3\n")};
    void SetUp() override {
        ASSERT_EQ(d.loaded, 1);
        d.v.anchor_row = 1;
        d.v.anchor_col = 0;
        d.v.cur_row = 2;
        d.v.cur_col = 1;
    }
};

std::set<uint32_t> colours_of(const Palette &p) {
    std::set<uint32_t> all = {p.bar.back, p.bar.text, p.bar_rule, p.text.back, p.text.text};
    for (int f = 0; f <= 1; ++f)
        for (const CellColors &c : {p.cursor[f], p.selected[f], p.rows[f], p.text_selected[f]}) {
            all.insert(c.back);
            all.insert(c.text);
        }
    return all;
}

} // namespace

TEST_F(PaletteTest, InHighContrastTheCellsTakeTheThemesColoursWithoutStripes) {
    const Palette p = palette_for(&kTheme, 1);
    auto at = [&](int32_t row, int32_t col, int focused) {
        CellColors c = cell_colors_in(&p, &d.v, row, col, focused);
        return std::make_pair(c.back, c.text);
    };
    // With the keyboard: the cursor and the selection highlighted; without it: the button face.
    EXPECT_EQ(at(2, 1, 1), std::make_pair(kTheme.highlight, kTheme.highlight_text));
    EXPECT_EQ(at(1, 0, 1), std::make_pair(kTheme.highlight, kTheme.highlight_text));
    EXPECT_EQ(at(2, 1, 0), std::make_pair(kTheme.button_face, kTheme.button_text));
    EXPECT_EQ(at(1, 1, 0), std::make_pair(kTheme.button_face, kTheme.button_text));
    for (int focused = 0; focused <= 1; ++focused)
        for (int32_t row : {0, 1, 3})
            EXPECT_EQ(at(row, 2, focused), std::make_pair(kTheme.window, kTheme.window_text))
                << "row " << row;
    // Same colours as the selection around it: the frame is what marks the cursor.
    EXPECT_TRUE(p.cursor_frame);
    EXPECT_EQ(p.bar.back, kTheme.button_face);
    EXPECT_EQ(p.bar.text, kTheme.button_text);
    EXPECT_EQ(p.text_selected[0].text, kTheme.button_text);
}

TEST_F(PaletteTest, InHighContrastNoColourOfTheViewersOwnIsLeft) {
    const std::set<uint32_t> theme = {kTheme.window,      kTheme.window_text,
                                      kTheme.highlight,   kTheme.highlight_text,
                                      kTheme.button_face, kTheme.button_text};
    for (uint32_t colour : colours_of(palette_for(&kTheme, 1)))
        EXPECT_TRUE(theme.count(colour)) << std::hex << "0x" << colour << " is not the theme's";
}

TEST_F(PaletteTest, WithoutHighContrastTheGridKeepsItsOwnColoursWhateverTheSystems) {
    const Palette p = palette_for(&kTheme, 0);
    for (int focused = 0; focused <= 1; ++focused)
        for (int32_t row = 0; row < 4; ++row)
            for (int32_t col = 0; col < 3; ++col) {
                CellColors in = cell_colors_in(&p, &d.v, row, col, focused);
                CellColors own = cell_colors(&d.v, row, col, focused);
                EXPECT_EQ(in.back, own.back) << row << ", " << col;
                EXPECT_EQ(in.text, own.text) << row << ", " << col;
            }
    EXPECT_EQ(cell_colors(&d.v, 2, 1, 1).back, 0xB56126u); // the familiar blue cursor
    EXPECT_FALSE(p.cursor_frame);
    // The bar's text stays the viewer's near-black; the text views were always the system's.
    EXPECT_EQ(p.bar.text, 0x141414u);
    EXPECT_EQ(p.bar.back, kTheme.button_face);
    EXPECT_EQ(p.text.back, kTheme.window);
    EXPECT_EQ(p.text_selected[1].back, kTheme.highlight);
}
