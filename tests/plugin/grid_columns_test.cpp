// The grid's columns, row count and cell texts as the list-view control holds and asks for them.
#include "viewer_fixture.h"

namespace {

class GridColumns : public ViewerTest {
  protected:
    HWND header() const {
        return reinterpret_cast<HWND>(SendMessageW(grid(), LVM_GETHEADER, 0, 0));
    }
    int string_width(const char *text) const {
        return static_cast<int>(
            SendMessageA(grid(), LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)));
    }
};

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

TEST_F(GridColumns, HeadersReadWholeWithRoomForTheArrowAndNoColumnTakesMoreThanAThird) {
    const std::string dump =
        magic() +
        section("SQL",
                "CREATE TABLE sales.lines (\n    \"Order Id\" integer,\n    \"Line No\" "
                "integer,\n    \"Unit Price\" numeric(10,2),\n    note text,\n    z text\n);\n") +
        section("DATA", "COPY sales.lines (\"Order Id\", \"Line No\", \"Unit Price\", note, z) "
                        "FROM stdin;\n1\t1\t8.30\t" +
                            std::string(400, 'w') + "\tz\n\\.\n");
    ASSERT_NE(open(dump), nullptr);
    for (int col = 0; col < 3; ++col) {
        const int ours = column_width(grid(), col);
        // What the list view itself would give the header's text alone (the cells are narrower).
        SendMessageW(grid(), LVM_SETCOLUMNWIDTH, col, LVSCW_AUTOSIZE_USEHEADER);
        const int header_alone = column_width(grid(), col);
        EXPECT_GE(ours, header_alone + 12) << column_text(grid(), col) << ": the arrow's room too";
        EXPECT_GE(ours, string_width(column_text(grid(), col).c_str()) + 24);
    }
    RECT window;
    GetClientRect(viewer, &window);
    EXPECT_LE(column_width(grid(), 3), window.right / 3) << "a third of the viewer window at most";
    EXPECT_GE(column_width(grid(), 3), window.right / 3 - 1);
}

TEST_F(GridColumns, ADoubleClickOnADividerFitsTheColumnToTheRowsInView) {
    std::string rows;
    for (int i = 0; i < 300; ++i)
        rows += std::to_string(i) + "\t" +
                (i == 150   ? std::string(300, 'w')
                 : i >= 280 ? std::string(30, 'm')
                            : "s") +
                "\tx\n";
    ASSERT_NE(open(data_dump("a, b, c", rows)), nullptr);
    const int first = column_width(grid(), 1);
    EXPECT_LT(first, string_width(std::string(30, 'm').c_str())) << "fitted to the first rows";
    press_key(grid(), VK_END, true);
    ASSERT_GE(SendMessageW(grid(), LVM_GETTOPINDEX, 0, 0), 200);
    RECT item = {};
    SendMessageW(header(), HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM divider = MAKELPARAM(item.right - 1, (item.top + item.bottom) / 2);
    SendMessageW(header(), WM_LBUTTONDBLCLK, MK_LBUTTON, divider);
    SendMessageW(header(), WM_LBUTTONUP, 0, divider);
    pump_pending();
    const int fitted = column_width(grid(), 1);
    EXPECT_GE(fitted, string_width(std::string(30, 'm').c_str())) << "the widest row in view";
    EXPECT_LT(fitted, string_width(std::string(300, 'w').c_str())) << "row 150 is out of view";
}
