// The selection as clipboard text, byte for byte, with and without its column titles, and the cell
// decoding behind it.
#include <gtest/gtest.h>

#include <string>

#include "base/mem.h"
#include "grid/selection_text.h"
#include "temp_dump.h"

// The selection text, or "<nothing>" when none was built (and then no block may be left behind).
static std::string copied(const Viewer &v) {
    StrBuf text;
    text.data = reinterpret_cast<char *>(&text); // must be cleared even when nothing is built
    if (!selection_text(&v, &text)) return text.data ? "<left a block>" : "<nothing>";
    std::string out(text.data, text.len);
    sb_drop(&text);
    return out;
}

static void select(Viewer &v, int32_t anchor_row, int32_t anchor_col, int32_t row, int32_t col) {
    v.anchor_row = anchor_row;
    v.anchor_col = anchor_col;
    v.cur_row = row;
    v.cur_col = col;
}

static std::string unescaped(const std::string &raw) {
    static char out[CELL_SCRATCH];
    size_t n = unescape_cell(raw.data(), raw.size(), out);
    EXPECT_EQ(out[n], '\0');
    return std::string(out, n);
}

class SelectionTextTest : public ::testing::Test {
  protected:
    void TearDown() override { mem_fail_after(-1); }
};

TEST_F(SelectionTextTest, OneCellGivesItsDecodedTextAndALineEnd) {
    LoadedViewer d(data_dump("a, b", "1\tx\\ty\n"));
    ASSERT_EQ(d.loaded, 1);
    select(d.v, 0, 1, 0, 1);
    EXPECT_EQ(copied(d.v), "x y\r\n");
}

TEST_F(SelectionTextTest, TwoRowsByTwoColumnsGiveTwoTabJoinedLines) {
    LoadedViewer d(data_dump("a, b, c", "1\t2\t3\n4\t5\t6\n7\t8\t9\n"));
    ASSERT_EQ(d.loaded, 1);
    select(d.v, 1, 1, 2, 2);
    EXPECT_EQ(copied(d.v), "5\t6\r\n8\t9\r\n");
}

TEST_F(SelectionTextTest, AnAnchorBelowAndRightOfTheCursorSpansTheSameRectangle) {
    LoadedViewer d(data_dump("a, b, c", "1\t2\t3\n4\t5\t6\n7\t8\t9\n"));
    ASSERT_EQ(d.loaded, 1);
    select(d.v, 2, 2, 0, 1);
    EXPECT_EQ(copied(d.v), "2\t3\r\n5\t6\r\n8\t9\r\n");
}

TEST_F(SelectionTextTest, ANullCopiesAsNothingBetweenItsTabs) {
    LoadedViewer d(data_dump("a, b, c", "first\t\\N\tlast\n"));
    ASSERT_EQ(d.loaded, 1);
    select(d.v, 0, 0, 0, 2);
    EXPECT_EQ(copied(d.v), "first\t\tlast\r\n");
}

TEST_F(SelectionTextTest, RowsLackingSelectedColumnsGiveEmptyCellsWithEveryTab) {
    LoadedViewer d(data_dump("a, b, c", "1\t2\t3\n4\n5\t6\n"));
    ASSERT_EQ(d.loaded, 1);
    select(d.v, 0, 0, 2, 2);
    EXPECT_EQ(copied(d.v), "1\t2\t3\r\n4\t\t\r\n5\t6\t\r\n");
    select(d.v, 0, 1, 2, 2);
    EXPECT_EQ(copied(d.v), "2\t3\r\n\t\r\n6\t\r\n");
}

TEST_F(SelectionTextTest, CrlfRowsCarryTheirCarriageReturnAndHideALastNull) {
    LoadedViewer d(magic() + section("DATA", "COPY t (a, b) FROM stdin;\r\n1\tx\r\n\\N\t\\N\r\n"));
    ASSERT_EQ(d.loaded, 1);
    select(d.v, 0, 0, 1, 1);
    EXPECT_EQ(copied(d.v), "1\tx\r\r\n\tN\r\r\n");
}

TEST_F(SelectionTextTest, NoRowsOrNoColumnsGiveNothing) {
    LoadedViewer d(data_dump("a, b", ""));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(copied(d.v), "<nothing>");
    Viewer no_columns{};
    no_columns.row_count = 1;
    EXPECT_EQ(copied(no_columns), "<nothing>");
}

TEST(UnescapeCell, EachEscapeDecodesAsTheCopyFormatSays) {
    EXPECT_EQ(unescaped("x\\ty"), "x y");
    EXPECT_EQ(unescaped("one\\ntwo"), "onetwo");
    EXPECT_EQ(unescaped("one\\rtwo"), "onetwo");
    EXPECT_EQ(unescaped("left\\\\right"), "left\\right");
    EXPECT_EQ(unescaped("\\\\N"), "\\N");
    EXPECT_EQ(unescaped("\\b"), "b");
    EXPECT_EQ(unescaped("\\101"), "101");
    EXPECT_EQ(unescaped("\\x41"), "x41");
    EXPECT_EQ(unescaped("end\\"), "end\\");
    EXPECT_EQ(unescaped(""), "");
}

TEST(UnescapeCell, ReadsOnlyTheGivenBytes) {
    char out[CELL_SCRATCH];
    EXPECT_EQ(unescape_cell("ab\\tc", 3, out), 3u);
    EXPECT_STREQ(out, "ab\\");
}

TEST(UnescapeCell, OutputStopsAt8191Bytes) {
    EXPECT_EQ(unescaped(std::string(9000, 'a')), std::string(8191, 'a'));
    // The escape completing the 8191st byte is the last thing written.
    EXPECT_EQ(unescaped(std::string(8190, 'a') + "\\\\bc"), std::string(8190, 'a') + "\\");
    EXPECT_EQ(unescaped(std::string(8190, 'a') + "\\n\\nbc"), std::string(8190, 'a') + "b");
}

TEST_F(SelectionTextTest, ACellLongerThan8191BytesIsCutBeforeItIsDecoded) {
    std::string cut_escape = std::string(8190, 'a') + "\\tbbb";
    LoadedViewer d(data_dump("a, b", std::string(9000, 'x') + "\tnext\n" + cut_escape + "\tz\n"));
    ASSERT_EQ(d.loaded, 1);
    select(d.v, 0, 0, 1, 1);
    // The cut leaves the escape's backslash last, and a lone final backslash stays.
    EXPECT_EQ(copied(d.v),
              std::string(8191, 'x') + "\tnext\r\n" + std::string(8190, 'a') + "\\\tz\r\n");
}

TEST_F(SelectionTextTest, NoMemoryForTheTextGivesNothing) {
    LoadedViewer d(data_dump("a", "1\n"));
    ASSERT_EQ(d.loaded, 1);
    mem_fail_after(0);
    EXPECT_EQ(copied(d.v), "<nothing>");
}

TEST_F(SelectionTextTest, NoMemoryAtAnyGrowthGivesNothingRatherThanAPart) {
    // Plain, escaped and over-long cells, so that each way of appending meets a failed growth.
    std::string cell(3000, 'c');
    std::string lines;
    for (int r = 0; r < 12; ++r) lines += cell + "\t" + std::string(r * 900, 'e') + "\\t\\N\t\\N\n";
    LoadedViewer d(data_dump("a, b, c", lines + std::string(9000, 'l') + "\n"));
    ASSERT_EQ(d.loaded, 1);
    select(d.v, 0, 0, 12, 2);
    long before = mem_alloc_count();
    const std::string whole = copied(d.v);
    const long points = mem_alloc_count() - before;
    ASSERT_GT(points, 3) << "the text must outgrow its first block several times";
    for (long i = 0; i < points; ++i) {
        const long live = mem_live_count();
        mem_fail_after(i);
        EXPECT_EQ(copied(d.v), "<nothing>") << "allocation " << i << " failed";
        EXPECT_EQ(mem_live_count(), live) << "allocation " << i << " failed: a block was kept";
    }
    mem_fail_after(points);
    EXPECT_EQ(copied(d.v), whole);
}

// The selection with its column titles, as Ctrl+Shift+C copies it, or "<nothing>".
static std::string copied_with_titles(const Viewer &v) {
    StrBuf text;
    text.data = reinterpret_cast<char *>(&text);
    if (!selection_text_with_titles(&v, &text)) return text.data ? "<left a block>" : "<nothing>";
    std::string out(text.data, text.len);
    sb_drop(&text);
    return out;
}

TEST_F(SelectionTextTest, WithTitlesTheSelectedColumnsNamesComeFirstAsTheHeaderWritesThem) {
    LoadedViewer d(data_dump("id, \"Full Name\", \"a, b\"", "1\tAnn\\tLee\tx\n2\t\\N\ty\n"));
    ASSERT_EQ(d.loaded, 1);
    select(d.v, 0, 1, 1, 2);
    EXPECT_EQ(copied_with_titles(d.v), "\"Full Name\"\t\"a, b\"\r\nAnn Lee\tx\r\n\ty\r\n");
    select(d.v, 1, 0, 1, 0);
    EXPECT_EQ(copied_with_titles(d.v), "id\r\n2\r\n");
}

TEST_F(SelectionTextTest, WithTitlesAColumnWithoutANameIsTitledCol) {
    // A header naming no columns: the first row's 300 fields make them, past the 256 name slots.
    std::string row = "f0";
    for (int c = 1; c < 300; ++c) row += "\tf" + std::to_string(c);
    LoadedViewer d(data_dump("", row + "\n"));
    ASSERT_EQ(d.loaded, 1);
    ASSERT_EQ(d.v.col_count, 300);
    select(d.v, 0, 254, 0, 257);
    EXPECT_EQ(copied_with_titles(d.v), "col\tcol\tcol\tcol\r\nf254\tf255\tf256\tf257\r\n");
}

TEST_F(SelectionTextTest, WithTitlesNothingToCopyOrNoMemoryGivesNothing) {
    LoadedViewer no_rows(data_dump("a, b", ""));
    ASSERT_EQ(no_rows.loaded, 1);
    EXPECT_EQ(copied_with_titles(no_rows.v), "<nothing>");
    LoadedViewer d(data_dump("a, b", std::string(20000, 'x') + "\ty\n"));
    ASSERT_EQ(d.loaded, 1);
    select(d.v, 0, 0, 0, 1);
    long before = mem_alloc_count();
    ASSERT_NE(copied_with_titles(d.v), "<nothing>");
    const long points = mem_alloc_count() - before;
    for (long i = 0; i < points; ++i) {
        const long live = mem_live_count();
        mem_fail_after(i);
        EXPECT_EQ(copied_with_titles(d.v), "<nothing>") << "allocation " << i << " failed";
        EXPECT_EQ(mem_live_count(), live) << "allocation " << i << " failed: a block was kept";
    }
}
