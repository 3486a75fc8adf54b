// Cursor moves, clamping, the selection they leave, and the view calls that follow a move.
#include <gtest/gtest.h>

#include <string>

#include "grid/cursor.h"
#include "temp_dump.h"

// A dump of `rows` rows, each with three fields.
static std::string three_column_dump(int rows) {
    std::string lines;
    for (int r = 0; r < rows; ++r) lines += "x\ty\tz\n";
    return data_dump("a, b, c", lines);
}

// Records the view calls a move makes, in order: "e" for ensure_cell_visible, "r" for repaint.
static std::string g_calls;
static void record_ensure(Viewer *) {
    g_calls += "e";
}
static void record_repaint(Viewer *) {
    g_calls += "r";
}

class CursorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_calls.clear();
        GridView view = {record_ensure, record_repaint};
        grid_set_view(&view);
    }
    void TearDown() override { grid_set_view(nullptr); }
    // Cursor and anchor in one line, so a failed step shows both.
    static std::string at(const Viewer &v) {
        return "cursor (" + std::to_string(v.cur_row) + ", " + std::to_string(v.cur_col) +
               ") anchor (" + std::to_string(v.anchor_row) + ", " + std::to_string(v.anchor_col) +
               ")";
    }
};

enum { NO_CTRL = 0, CTRL = 1, NO_SHIFT = 0, SHIFT = 1, PAGE = 5 };

TEST_F(CursorTest, TargetsOutsideTheGridAreClampedIntoIt) {
    LoadedViewer d(three_column_dump(10));
    ASSERT_EQ(d.loaded, 1);
    grid_goto(&d.v, -5, 99, 0);
    EXPECT_EQ(at(d.v), "cursor (0, 2) anchor (0, 2)");
    grid_goto(&d.v, 42, -7, 0);
    EXPECT_EQ(at(d.v), "cursor (9, 0) anchor (9, 0)");
}

// No load gives rows without columns, but the clamp must still never reach column -1.
TEST_F(CursorTest, AGridWithoutColumnsKeepsTheCursorInColumnZero) {
    Viewer v{};
    v.row_count = 3;
    grid_goto(&v, 1, 5, 0);
    EXPECT_EQ(at(v), "cursor (1, 0) anchor (1, 0)");
    grid_apply_key(&v, KEY_END, CTRL, NO_SHIFT, PAGE);
    EXPECT_EQ(at(v), "cursor (2, 0) anchor (2, 0)");
}

TEST_F(CursorTest, ShiftExtendsFromTheAnchorAndAPlainMoveBringsTheAnchorAlong) {
    LoadedViewer d(three_column_dump(10));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(grid_apply_key(&d.v, KEY_DOWN, NO_CTRL, SHIFT, PAGE), 1);
    EXPECT_EQ(grid_apply_key(&d.v, KEY_DOWN, NO_CTRL, SHIFT, PAGE), 1);
    EXPECT_EQ(at(d.v), "cursor (2, 0) anchor (0, 0)");
    SelectionRect sel = selection_rect(&d.v);
    EXPECT_EQ(sel.r0, 0);
    EXPECT_EQ(sel.r1, 2);
    EXPECT_EQ(sel.c0, 0);
    EXPECT_EQ(sel.c1, 0);
    EXPECT_EQ(grid_apply_key(&d.v, KEY_RIGHT, NO_CTRL, NO_SHIFT, PAGE), 1);
    EXPECT_EQ(at(d.v), "cursor (2, 1) anchor (2, 1)");
}

TEST_F(CursorTest, CtrlEndThenShiftCtrlHomeSelectsTheWholeGrid) {
    LoadedViewer d(three_column_dump(10));
    ASSERT_EQ(d.loaded, 1);
    grid_apply_key(&d.v, KEY_END, CTRL, NO_SHIFT, PAGE);
    EXPECT_EQ(at(d.v), "cursor (9, 2) anchor (9, 2)");
    grid_apply_key(&d.v, KEY_HOME, CTRL, SHIFT, PAGE);
    SelectionRect sel = selection_rect(&d.v);
    EXPECT_EQ(sel.r0, 0);
    EXPECT_EQ(sel.r1, 9);
    EXPECT_EQ(sel.c0, 0);
    EXPECT_EQ(sel.c1, 2);
}

TEST_F(CursorTest, CtrlASelectsAllWhateverShiftSays) {
    LoadedViewer d(three_column_dump(10));
    ASSERT_EQ(d.loaded, 1);
    grid_goto(&d.v, 4, 1, 0);
    EXPECT_EQ(grid_apply_key(&d.v, KEY_A, CTRL, NO_SHIFT, PAGE), 1);
    EXPECT_EQ(at(d.v), "cursor (9, 2) anchor (0, 0)");
}

TEST_F(CursorTest, WithoutRowsSelectAllOnlyResetsTheAnchorAndTouchesNoView) {
    LoadedViewer d(magic() + section("DATA", "COPY t (a, b) FROM stdin;\n\\.\n"));
    ASSERT_EQ(d.loaded, 1);
    ASSERT_EQ(d.v.row_count, 0);
    d.v.cur_row = d.v.anchor_row = 3;
    d.v.cur_col = d.v.anchor_col = 1;
    EXPECT_EQ(grid_apply_key(&d.v, KEY_A, CTRL, NO_SHIFT, PAGE), 1);
    EXPECT_EQ(at(d.v), "cursor (3, 1) anchor (0, 0)");
    grid_goto(&d.v, 0, 0, 0);
    grid_apply_key(&d.v, KEY_DOWN, NO_CTRL, NO_SHIFT, PAGE);
    EXPECT_EQ(at(d.v), "cursor (3, 1) anchor (0, 0)");
    EXPECT_EQ(g_calls, "");
}

TEST_F(CursorTest, AMoveScrollsTheCursorIntoViewThenRepaintsOnce) {
    LoadedViewer d(three_column_dump(10));
    ASSERT_EQ(d.loaded, 1);
    grid_goto(&d.v, 3, 1, 0);
    EXPECT_EQ(g_calls, "er");
    g_calls.clear();
    grid_apply_key(&d.v, KEY_A, CTRL, NO_SHIFT, PAGE);
    EXPECT_EQ(g_calls, "er");
}

TEST_F(CursorTest, KeysThatAreNotMovesLeaveTheCursorAndTheView) {
    LoadedViewer d(three_column_dump(10));
    ASSERT_EQ(d.loaded, 1);
    grid_goto(&d.v, 4, 1, 0);
    g_calls.clear();
    const int keys[] = {
        KEY_A, 0x09 /* Tab */, 0x0D /* Enter */, 0x2D /* Insert */, 0x2E /* Delete */, 0x43 /* C */,
        0x20 /* blank */};
    for (int key : keys) {
        EXPECT_EQ(grid_apply_key(&d.v, key, NO_CTRL, SHIFT, PAGE), 0) << "key " << key;
        EXPECT_EQ(grid_move_for_key(key, NO_CTRL, PAGE, 4, 1, 10, 3).kind, MOVE_NONE);
    }
    EXPECT_EQ(grid_apply_key(&d.v, 0x43, CTRL, NO_SHIFT, PAGE), 0);
    EXPECT_EQ(at(d.v), "cursor (4, 1) anchor (4, 1)");
    EXPECT_EQ(g_calls, "");
}

struct KeyCase {
    int key, ctrl;
    int32_t row, col;
};

TEST(MovementRule, EachKeyGivesItsTarget) {
    // From (5, 1) in a grid of 100 rows by 4 columns, with a page of 7 rows.
    const KeyCase cases[] = {
        {KEY_UP, 0, 4, 1},     {KEY_UP, 1, 0, 1},     {KEY_DOWN, 0, 6, 1},  {KEY_DOWN, 1, 99, 1},
        {KEY_LEFT, 0, 5, 0},   {KEY_LEFT, 1, 5, 0},   {KEY_RIGHT, 0, 5, 2}, {KEY_RIGHT, 1, 5, 3},
        {KEY_HOME, 0, 5, 0},   {KEY_HOME, 1, 0, 0},   {KEY_END, 0, 5, 3},   {KEY_END, 1, 99, 3},
        {KEY_PRIOR, 0, -2, 1}, {KEY_PRIOR, 1, -2, 1}, {KEY_NEXT, 0, 12, 1}, {KEY_NEXT, 1, 12, 1},
    };
    for (const KeyCase &c : cases) {
        GridMove m = grid_move_for_key(c.key, c.ctrl, 7, 5, 1, 100, 4);
        EXPECT_EQ(m.kind, MOVE_GOTO) << "key " << c.key << " ctrl " << c.ctrl;
        EXPECT_EQ(m.row, c.row) << "key " << c.key << " ctrl " << c.ctrl;
        EXPECT_EQ(m.col, c.col) << "key " << c.key << " ctrl " << c.ctrl;
    }
}

TEST(MovementRule, APageOfZeroOrLessMovesTenRows) {
    for (int page : {0, -1, -100}) {
        EXPECT_EQ(grid_move_for_key(KEY_NEXT, 0, page, 20, 0, 100, 1).row, 30) << page;
        EXPECT_EQ(grid_move_for_key(KEY_PRIOR, 1, page, 20, 0, 100, 1).row, 10) << page;
    }
    EXPECT_EQ(grid_move_for_key(KEY_NEXT, 0, 1, 20, 0, 100, 1).row, 21);
}

TEST(MovementRule, OnlyCtrlAIsSelectAll) {
    EXPECT_EQ(grid_move_for_key(KEY_A, 1, 7, 5, 1, 100, 4).kind, MOVE_SELECT_ALL);
    EXPECT_EQ(grid_move_for_key(KEY_A, 0, 7, 5, 1, 100, 4).kind, MOVE_NONE);
}

TEST_F(CursorTest, PagingPastEitherEndStopsAtTheFirstOrLastRow) {
    LoadedViewer d(three_column_dump(10));
    ASSERT_EQ(d.loaded, 1);
    grid_goto(&d.v, 6, 2, 0);
    grid_apply_key(&d.v, KEY_NEXT, CTRL, SHIFT, 0);
    EXPECT_EQ(at(d.v), "cursor (9, 2) anchor (6, 2)");
    grid_apply_key(&d.v, KEY_PRIOR, NO_CTRL, NO_SHIFT, 3);
    EXPECT_EQ(at(d.v), "cursor (6, 2) anchor (6, 2)");
    grid_apply_key(&d.v, KEY_PRIOR, NO_CTRL, NO_SHIFT, 0);
    EXPECT_EQ(at(d.v), "cursor (0, 2) anchor (0, 2)");
}
