// The view's arithmetic: scrolling to the caret with a side margin, keeping the top inside the
// text, the position a point hits, and the columns a selection covers on each line.
#include "text_fixture.h"

#include "text/view_port.h"

TEST(Viewport, ScrollsTheLeastToShowALineAndKeepsTheTopInsideTheText) {
    TextViewport v = {0, 0, 10, 40};
    viewport_show(&v, 25, 0);
    EXPECT_EQ(v.top, 16u) << "the line at the bottom";
    viewport_show(&v, 20, 0);
    EXPECT_EQ(v.top, 16u) << "already in view";
    viewport_show(&v, 3, 0);
    EXPECT_EQ(v.top, 3u);
    v.top = 95;
    viewport_clamp(&v, 100, 0);
    EXPECT_EQ(v.top, 90u) << "the last line at the bottom";
    viewport_clamp(&v, 4, 0);
    EXPECT_EQ(v.top, 0u) << "a text shorter than the view";
}

TEST(Viewport, TheLeftEdgeStopsWhereTheWidestLinesEndShowsAtTheRight) {
    TextViewport v = {0, 1000, 10, 40};
    viewport_clamp(&v, 100, 100);
    EXPECT_EQ(v.left, 61u) << "columns 61 to 100: the caret after the widest line's last character";
    v.left = 61;
    viewport_clamp(&v, 100, 100);
    EXPECT_EQ(v.left, 61u) << "already at the edge";
    v.left = 5;
    viewport_clamp(&v, 100, 39);
    EXPECT_EQ(v.left, 0u) << "lines narrower than the view scroll not at all";
    v.left = 5;
    viewport_clamp(&v, 100, 40);
    EXPECT_EQ(v.left, 1u) << "one column more than the view: one step";
}

TEST(Viewport, AColumnOutOfViewToTheSideComesInWithAMargin) {
    TextViewport v = {0, 0, 10, 40};
    viewport_show(&v, 0, 40);
    EXPECT_EQ(v.left, 9u) << "column 40 in view with 8 more beyond it";
    viewport_show(&v, 0, 30);
    EXPECT_EQ(v.left, 9u);
    viewport_show(&v, 0, 5);
    EXPECT_EQ(v.left, 0u) << "the margin stops at the first column";
    TextViewport narrow = {0, 0, 10, 4};
    viewport_show(&narrow, 0, 10);
    EXPECT_EQ(narrow.left, 8u) << "a narrow view keeps a quarter of its width";
}

TEST(Viewport, APointHitsTheNearerSideOfTheCharacterUnderIt) {
    // "a", a tab to column 8, a wide character over columns 8 and 9, "z".
    PlainText t("a\t\xE6\x97\xA5z\nsecond");
    TextViewport v = {0, 0, 10, 40};
    EXPECT_EQ(viewport_hit(&v, &t.doc, nullptr, 0, 3), 0u) << "left half of a";
    EXPECT_EQ(viewport_hit(&v, &t.doc, nullptr, 0, 5), 1u) << "right half of a";
    EXPECT_EQ(viewport_hit(&v, &t.doc, nullptr, 0, 8 * 3), 1u) << "early in the tab";
    EXPECT_EQ(viewport_hit(&v, &t.doc, nullptr, 0, 8 * 6), 2u) << "late in the tab";
    EXPECT_EQ(viewport_hit(&v, &t.doc, nullptr, 0, 8 * 8 + 7), 2u) << "left half of the wide";
    EXPECT_EQ(viewport_hit(&v, &t.doc, nullptr, 0, 8 * 9 + 1), 5u) << "right half of the wide";
    EXPECT_EQ(viewport_hit(&v, &t.doc, nullptr, 0, 8 * 30), 6u) << "past the end: the end";
    EXPECT_EQ(viewport_hit(&v, &t.doc, nullptr, 1, -20), 7u) << "left of the edge";
    EXPECT_EQ(viewport_hit(&v, &t.doc, nullptr, 5, 8 * 2), 9u) << "below the text: last line";
    v.top = 1;
    EXPECT_EQ(viewport_hit(&v, &t.doc, nullptr, -3, 0), 0u) << "above the text: first line";
    v.left = 8;
    EXPECT_EQ(viewport_hit(&v, &t.doc, nullptr, -1, 8 * 2 + 1), 5u) << "columns count from left";
}

TEST(Viewport, ASelectionCoversItsColumnsAndTheLineBreaksItRunsOver) {
    PlainText t("ab\tc\r\nxyz\n\nlast");
    size_t c0 = 99, c1 = 99;
    // [1, 11): from "b" over the CR LF, all of "xyz" and its line feed, into the empty line.
    ASSERT_TRUE(selection_columns(&t.doc, nullptr, 0, 1, 11, &c0, &c1));
    EXPECT_EQ(c0, 1u);
    EXPECT_EQ(c1, 10u) << "b, the tab to column 8, c, and one column for the line break";
    ASSERT_TRUE(selection_columns(&t.doc, nullptr, 1, 1, 11, &c0, &c1));
    EXPECT_EQ(std::make_pair(c0, c1), std::make_pair(size_t(0), size_t(4)));
    ASSERT_TRUE(selection_columns(&t.doc, nullptr, 2, 1, 11, &c0, &c1));
    EXPECT_EQ(std::make_pair(c0, c1), std::make_pair(size_t(0), size_t(1)));
    EXPECT_FALSE(selection_columns(&t.doc, nullptr, 3, 1, 11, &c0, &c1)) << "ends before it";
    EXPECT_FALSE(selection_columns(&t.doc, nullptr, 0, 3, 3, &c0, &c1)) << "empty selection";
    ASSERT_TRUE(selection_columns(&t.doc, nullptr, 3, 12, 15, &c0, &c1));
    EXPECT_EQ(std::make_pair(c0, c1), std::make_pair(size_t(1), size_t(4))) << "no break after";
}
