// The grid's columns, row count and cell texts as the list-view control holds and asks for them.
#include "viewer_fixture.h"

namespace {

class GridColumns : public ViewerTest {};

// A first row of `fields` fields "v0", "v1", ... under a header line without names.
std::string unnamed_fields(int fields) {
    std::string row;
    for (int i = 0; i < fields; ++i) row += (i ? "\tv" : "v") + std::to_string(i);
    return magic() + section("DATA", "COPY wide () FROM stdin;\n" + row + "\n\\.\n");
}

} // namespace

TEST_F(GridColumns, NamedColumnsHeadTheGridWhichCountsTheRows) {
    ASSERT_NE(open(magic() + section("DATA", "COPY public.items (id, name, price) FROM stdin;\n"
                                             "1\tpen\t2.50\n2\tink\t\\N\n3\tpad\t1\n\\.\n")),
              nullptr);
    ASSERT_EQ(column_count(grid()), 3);
    EXPECT_EQ(column_text(grid(), 0), "id");
    EXPECT_EQ(column_text(grid(), 1), "name");
    EXPECT_EQ(column_text(grid(), 2), "price");
    EXPECT_EQ(item_count(grid()), 3);
}

TEST_F(GridColumns, ColumnsAreSizedToTheirContent) {
    const std::string wide(60, 'w');
    ASSERT_NE(open(data_dump("a, b", "1\t" + wide + "\n")), nullptr);
    EXPECT_GT(column_width(grid(), 1), column_width(grid(), 0));
    EXPECT_GT(column_width(grid(), 1), 120);
}

TEST_F(GridColumns, TheLastColumnKeepsItsHeaderReadableWhenTheOthersNearlyFillTheView) {
    const std::string dump = data_dump(
        "a, b, last_column_name", std::string(40, 'w') + "\t" + std::string(50, 'v') + "\tz\n");
    ASSERT_NE(open(dump), nullptr);
    // Make the view a few pixels wider than the first two columns, then fill the grid again.
    RECT frame;
    GetWindowRect(grid(), &frame);
    RECT client;
    GetClientRect(grid(), &client);
    int border = (frame.right - frame.left) - client.right;
    int others = column_width(grid(), 0) + column_width(grid(), 1);
    resize_lister(&lister, others + border + 4, 400);
    MoveWindow(viewer, 0, 0, others + border + 4, 400, TRUE);
    pump_pending();
    ASSERT_EQ(load_next(dump), 0);
    int header = static_cast<int>(
        SendMessageA(grid(), LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>("last_column_name")));
    EXPECT_GE(column_width(grid(), 2), header);
}

TEST_F(GridColumns, TheLastColumnFillsWhatIsLeftOfTheViewBesideItsScrollBar) {
    std::string rows;
    for (int i = 0; i < 200; ++i) rows += std::to_string(i) + "\tx\n";
    ASSERT_NE(open(data_dump("a, b", rows)), nullptr);
    RECT client;
    GetClientRect(grid(), &client);
    EXPECT_EQ(column_width(grid(), 0) + column_width(grid(), 1), client.right);
    EXPECT_EQ(GetScrollPos(grid(), SB_HORZ), 0);
    SCROLLINFO bar = {sizeof bar, SIF_RANGE | SIF_PAGE};
    if (GetScrollInfo(grid(), SB_HORZ, &bar))
        EXPECT_LE(bar.nMax - bar.nMin + 1, static_cast<int>(bar.nPage)) << "nothing to scroll to";
}

TEST_F(GridColumns, TheControlGetsEachCellsDisplayText) {
    ASSERT_NE(open(data_dump("a, b, c", "1\t\\N\tx\\ty\n\t\xC3\xBC\n")), nullptr);
    EXPECT_EQ(item_text(grid(), 0, 0), "1");
    EXPECT_EQ(item_text(grid(), 0, 1), "null");
    EXPECT_EQ(item_text(grid(), 0, 2), "x\\ty") << "escapes show as written";
    EXPECT_EQ(item_text(grid(), 1, 0), "");
    EXPECT_EQ(item_text(grid(), 1, 1), "\xC3\xBC") << "UTF-8 goes to the control unchanged";
    EXPECT_EQ(item_text(grid(), 1, 2), "") << "a row without the field";
}

TEST_F(GridColumns, AFileWithoutNamesGetsOneColHeaderPerFieldOfTheFirstRow) {
    ASSERT_NE(open(magic() + section("DATA", "COPY t () FROM stdin;\n1\t2\t3\n4\n\\.\n")), nullptr);
    ASSERT_EQ(column_count(grid()), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(column_text(grid(), i), "col") << i;
    EXPECT_EQ(item_text(grid(), 0, 2), "3");
}

TEST_F(GridColumns, HeadersWithoutRowsShowOverAnEmptyGrid) {
    ASSERT_NE(open(data_dump("a, b", "")), nullptr);
    EXPECT_TRUE(grid_shown());
    ASSERT_EQ(column_count(grid()), 2);
    EXPECT_EQ(column_text(grid(), 1), "b");
    EXPECT_EQ(item_count(grid()), 0);
}

TEST_F(GridColumns, AFileWithoutDataShowsOneNoColumnsHeaderOnTheDataTab) {
    ASSERT_NE(open(magic() + section("SQL", "select 1;\n")), nullptr);
    ASSERT_TRUE(show_tab(1));
    ASSERT_EQ(column_count(grid()), 1);
    EXPECT_EQ(column_text(grid(), 0), "(no columns)");
    EXPECT_EQ(column_width(grid(), 0), 200);
    EXPECT_EQ(item_count(grid()), 0);
}

TEST_F(GridColumns, FieldsBeyondTheNameSlotsStillGetColHeadersAndTheirTexts) {
    ASSERT_NE(open(unnamed_fields(300)), nullptr);
    ASSERT_EQ(column_count(grid()), 300);
    EXPECT_EQ(column_text(grid(), 255), "col");
    EXPECT_EQ(column_text(grid(), 256), "col");
    EXPECT_EQ(column_text(grid(), 299), "col");
    EXPECT_EQ(item_text(grid(), 0, 299), "v299");
}

TEST_F(GridColumns, ARowWiderThanAnyTableShowsItsFirst1600FieldsAndCopiesWithinThem) {
    ASSERT_NE(open(unnamed_fields(20000)), nullptr);
    ASSERT_EQ(column_count(grid()), 1600);
    EXPECT_EQ(item_text(grid(), 0, 1599), "v1599");
    press_key(grid(), VK_END);
    press_key(grid(), VK_LEFT);
    // The second Shift+Right finds no column to go to.
    press_key(grid(), VK_RIGHT, false, true);
    press_key(grid(), VK_RIGHT, false, true);
    press_key(grid(), 'C', true);
    EXPECT_EQ(clipboard_text(), L"v1598\tv1599\r\n");
}

TEST_F(GridColumns, AHeaderNamingMoreThan256ColumnsShowsTheFirst256) {
    std::string names;
    for (int i = 0; i < 300; ++i) names += (i ? ", c" : "c") + std::to_string(i);
    ASSERT_NE(open(data_dump(names, "1\n")), nullptr);
    ASSERT_EQ(column_count(grid()), 256);
    EXPECT_EQ(column_text(grid(), 255), "c255");
}

TEST_F(GridColumns, EveryRowOfALargeFileIsCounted) {
    std::string lines;
    for (int i = 0; i < 5000; ++i) lines += std::to_string(i) + "\trow\n";
    ASSERT_NE(open(data_dump("n, what", lines)), nullptr);
    EXPECT_EQ(item_count(grid()), 5000);
    EXPECT_EQ(item_text(grid(), 4999, 0), "4999");
}
