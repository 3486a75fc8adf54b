// Sorting the grid by a column's header, in the database's order for the column's type, and the
// context menu that reaches the same orders, copy and find: the rows as shown are what every
// command reads.
#include "menu_driver.h"
#include "viewer_fixture.h"

#include <string>
#include <vector>

namespace {

// The grid menu's lines as the driver counts them (separators left out).
enum {
    kFilterEqual = 9,
    kFilterNotEqual = 10,
    kFilterNull = 11,
    kFilterNotNull = 12,
    kClearFilter = 13,
    kSortAscending = 14,
    kSortDescending = 15,
    kFileOrder = 16,
};

const std::string kItems =
    magic() +
    section("SQL", "CREATE TABLE public.items (\n    id integer NOT NULL,\n    name text,\n"
                   "    price numeric(10,2)\n);\n") +
    section("DATA", "COPY public.items (id, name, price) FROM stdin;\n"
                    "9\tpear\t10.50\n10\tapple\t9.99\n2\tfig\t\\N\n10\tkiwi\t100.00\n"
                    "1\tApple\t9.990\n\\.\n");

class GridOrder : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_NE(open(kItems), nullptr);
        ASSERT_TRUE(grid_shown());
    }
    HWND header() const {
        return reinterpret_cast<HWND>(SendMessageW(grid(), LVM_GETHEADER, 0, 0));
    }
    void click_header(int column) {
        RECT r = {};
        SendMessageW(header(), HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&r));
        click(header(), POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        pump_pending();
    }
    // The header's arrow on a column: "up", "down" or "".
    std::string arrow(int column) const {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        SendMessageW(header(), HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
        return item.fmt & HDF_SORTUP ? "up" : item.fmt & HDF_SORTDOWN ? "down" : "";
    }
    // One column of every row the grid shows, joined by blanks.
    std::string column(int c) const {
        std::string out;
        for (int r = 0; r < item_count(grid()); ++r)
            out += (r ? " " : "") + item_text(grid(), r, c);
        return out;
    }
    // The cursor cell as the viewer colours it.
    std::pair<int, int> cursor() const {
        std::string map = cells(5, 3);
        size_t at = map.find('C');
        if (at == std::string::npos) return {-1, -1};
        return {static_cast<int>(at / 4), static_cast<int>(at % 4)};
    }
    void shift_click_header(int column) {
        RECT r = {};
        SendMessageW(header(), HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&r));
        click(header(), POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, true);
        pump_pending();
    }
    // Whether the status line comes to read `want` (it is the viewer window's text, painted).
    bool status_reads(const std::wstring &want) {
        return pump_until([&] { return status_text(viewer) == want; });
    }
    // Opens the grid's menu with a right click on a cell and picks the given line.
    MenuDriver right_click(int row, int col, std::vector<int> pick) {
        MenuDriver menu;
        menu.pick = std::move(pick);
        arm_menu_driver(&menu);
        POINT at = cell_center(grid(), row, col);
        LPARAM where = MAKELPARAM(at.x, at.y);
        SendMessageW(grid(), WM_RBUTTONDOWN, MK_RBUTTON, where);
        SendMessageW(grid(), WM_RBUTTONUP, 0, where);
        disarm_menu_driver();
        pump_pending();
        return menu;
    }
};

} // namespace

TEST_F(GridOrder, AHeaderClickSortsAscendingThenDescendingThenBackToFileOrder) {
    EXPECT_EQ(column(0), "9 10 2 10 1");
    click_header(0);
    EXPECT_EQ(column(0), "1 2 9 10 10") << "integers by value: 9 before 10";
    EXPECT_EQ(column(1), "Apple fig pear apple kiwi") << "equal ids keep file order";
    EXPECT_EQ(arrow(0), "up");
    click_header(0);
    EXPECT_EQ(column(1), "apple kiwi pear fig Apple") << "equal ids in file order descending too";
    EXPECT_EQ(arrow(0), "down");
    click_header(0);
    EXPECT_EQ(column(1), "pear apple fig kiwi Apple");
    EXPECT_EQ(arrow(0), "");
    click_header(2);
    EXPECT_EQ(column(2), "9.99 9.990 10.50 100.00 null") << "exact decimals; NULL last";
    EXPECT_EQ(arrow(2), "up");
    EXPECT_EQ(arrow(0), "") << "one arrow, on the sorted column";
    click_header(1);
    EXPECT_EQ(column(1), "Apple apple fig kiwi pear") << "text by its bytes";
}

TEST_F(GridOrder, TheCursorStaysOnItsRecordAndCopyAndFindFollowTheOrderShown) {
    press_key(grid(), VK_DOWN);
    press_key(grid(), VK_DOWN);
    press_key(grid(), VK_RIGHT); // fig's name
    click_header(2);
    EXPECT_EQ(cursor(), std::make_pair(4, 1)) << "fig, its price NULL, now shows last";
    press_key(grid(), 'A', true);
    press_key(grid(), 'C', true);
    EXPECT_EQ(clipboard_text(), L"10\tapple\t9.99\r\n1\tApple\t9.990\r\n9\tpear\t10.50\r\n"
                                L"10\tkiwi\t100.00\r\n2\tfig\t\r\n");
    press_key(grid(), VK_HOME, true);
    press_key(grid(), 'F', true);
    SetWindowTextW(GetFocus(), L"apple");
    press_key(GetFocus(), VK_RETURN);
    EXPECT_EQ(cursor(), std::make_pair(0, 1)) << "after the first cell, in the order shown";
    press_key(GetFocus(), VK_RETURN);
    EXPECT_EQ(cursor(), std::make_pair(1, 1)) << "Apple, ignoring case";
}

TEST_F(GridOrder, NumbersAreRightAlignedAndTheStatusNamesTheCursorsColumnAndType) {
    LVCOLUMNW col = {};
    col.mask = LVCF_FMT;
    SendMessageW(grid(), LVM_GETCOLUMNW, 2, reinterpret_cast<LPARAM>(&col));
    EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT) << "numeric";
    SendMessageW(grid(), LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&col));
    EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT) << "text";
    press_key(grid(), VK_END);
    std::wstring status;
    EXPECT_TRUE(pump_until([&] {
        status = status_text(viewer);
        return status.find(L"price numeric(10,2)") != std::wstring::npos;
    })) << utf8_of(status);
}

TEST_F(GridOrder, ARightClickMovesTheCursorOntoTheCellAndOpensTheMenu) {
    MenuDriver menu = right_click(3, 1, {});
    ASSERT_TRUE(menu.opened);
    EXPECT_EQ(cursor(), std::make_pair(3, 1));
    EXPECT_EQ(menu.items,
              (std::vector<std::wstring>{
                  L"Copy\tCtrl+C", L"Copy with column names\tCtrl+Shift+C", L"Copy as",
                  L"Select all\tCtrl+A", L"Show value\tEnter", L"Column summary\tCtrl+I", L"-",
                  L"Find...\tCtrl+F", L"Go to row...\tCtrl+G", L"Filter...\tCtrl+Shift+F",
                  L"Filter: equal to this value", L"Filter: not equal to this value",
                  L"Filter: NULL", L"Filter: not NULL", L"Clear filter", L"-", L"Sort ascending",
                  L"Sort descending", L"File order"}));
    // Inside the selection the selection stays, for the menu to act on.
    press_key(grid(), VK_UP, false, true);
    const std::string before = cells(5, 3);
    right_click(3, 1, {});
    EXPECT_EQ(cells(5, 3), before);
}

TEST_F(GridOrder, TheMenusSortsActOnTheCursorsColumn) {
    press_key(grid(), VK_RIGHT);
    right_click(0, 1, {kSortDescending});
    EXPECT_EQ(column(1), "pear kiwi fig apple Apple");
    EXPECT_EQ(arrow(1), "down");
    right_click(0, 1, {kFileOrder});
    EXPECT_EQ(column(1), "pear apple fig kiwi Apple");
    EXPECT_EQ(arrow(1), "");
}

TEST_F(GridOrder, ShiftF10AndTheMenuKeyOpenTheMenuFromTheKeyboard) {
    MenuDriver menu;
    arm_menu_driver(&menu);
    set_modifiers(false, true);
    SendMessageW(grid(), WM_SYSKEYDOWN, VK_F10, 1);
    set_modifiers(false, false);
    disarm_menu_driver();
    EXPECT_TRUE(menu.opened) << "Shift+F10";
    MenuDriver again;
    again.pick = {kSortAscending};
    arm_menu_driver(&again);
    press_key(grid(), VK_APPS);
    disarm_menu_driver();
    EXPECT_TRUE(again.opened) << "the context-menu key";
    EXPECT_EQ(column(0), "1 2 9 10 10");
    EXPECT_TRUE(lister.keys_received.empty());
}

TEST_F(GridOrder, ATextTabsMenuCopiesSelectsAllAndFinds) {
    ASSERT_TRUE(show_tab(2));
    MenuDriver menu;
    menu.pick = {1}; // Select all
    arm_menu_driver(&menu);
    POINT at = {20, 10};
    SendMessageW(edit(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(edit(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    disarm_menu_driver();
    ASSERT_TRUE(menu.opened);
    EXPECT_EQ(menu.items, (std::vector<std::wstring>{L"Copy\tCtrl+C", L"Select all\tCtrl+A", L"-",
                                                     L"Find...\tCtrl+F"}));
    DWORD start = 9, end = 9;
    SendMessageW(edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, static_cast<DWORD>(text_view().size()));
}

TEST_F(GridOrder, SortAndFilterCombineAndANewFileStartsInFileOrder) {
    click_header(0);
    press_key(grid(), 'F', true, true);
    SetWindowTextW(GetFocus(), L"p");
    EXPECT_EQ(column(1), "Apple pear apple") << "the filter's rows in the sort's order";
    press_key(GetFocus(), VK_RETURN);
    click_header(0);
    EXPECT_EQ(column(1), "apple pear Apple") << "the sort turned round, the filter kept";
    ASSERT_EQ(load_next(kItems), 0);
    EXPECT_EQ(column(1), "pear apple fig kiwi Apple");
    EXPECT_EQ(arrow(0), "");
}

TEST_F(GridOrder, ShiftClicksAddKeysTurnThemRoundAndTakeThemOut) {
    click_header(0);
    EXPECT_EQ(column(1), "Apple fig pear apple kiwi");
    shift_click_header(2);
    EXPECT_EQ(column(1), "Apple fig pear apple kiwi") << "equal ids by price: 9.99 before 100.00";
    EXPECT_EQ(arrow(0), "up");
    EXPECT_EQ(arrow(2), "up") << "each key its arrow";
    shift_click_header(2);
    EXPECT_EQ(column(1), "Apple fig pear kiwi apple") << "the second key turned round";
    EXPECT_EQ(arrow(2), "down");
    EXPECT_TRUE(status_reads(L"public.items   \u2014   5 rows   \u00b7   sorted by id \u2191, "
                             L"price \u2193   \u00b7   id integer"))
        << utf8_of(status_text(viewer));
    shift_click_header(2);
    EXPECT_EQ(arrow(2), "") << "a third Shift+click takes the key out";
    EXPECT_EQ(column(1), "Apple fig pear apple kiwi");
    shift_click_header(1);
    click_header(2);
    EXPECT_EQ(column(2), "9.99 9.990 10.50 100.00 null") << "a plain click: that column alone";
    EXPECT_EQ(arrow(0), "");
    EXPECT_EQ(arrow(1), "");
    EXPECT_EQ(arrow(2), "up");
}

TEST_F(GridOrder, TheMenuFiltersByTheCellsValueAndTheStatusLineNamesWhatHolds) {
    right_click(1, 1, {kFilterEqual}); // apple
    EXPECT_EQ(column(1), "apple") << "by its bytes: Apple is another value";
    EXPECT_TRUE(status_reads(
        L"public.items   \u2014   name = 'apple' \u2014 1 of 5 rows   \u00b7   name text"))
        << utf8_of(status_text(viewer));
    right_click(0, 1, {kClearFilter});
    EXPECT_EQ(column(1), "pear apple fig kiwi Apple");

    click_header(0);
    right_click(1, 2, {kFilterNull}); // fig's price
    EXPECT_EQ(column(1), "fig");
    right_click(0, 0, {kFilterNotEqual}); // id <> 2
    EXPECT_EQ(item_count(grid()), 0) << "both hold together: no row";
    EXPECT_EQ(arrow(0), "up") << "the sorted column's arrow stays with no row to show";
    EXPECT_TRUE(status_reads(L"public.items   \u2014   price IS NULL AND id <> 2 \u2014 0 of 5 "
                             L"rows   \u00b7   sorted by id \u2191   \u00b7   id integer"))
        << utf8_of(status_text(viewer));

    // Escape in the filter bar takes every condition away.
    press_key(grid(), 'F', true, true);
    press_key(GetFocus(), VK_ESCAPE);
    EXPECT_EQ(column(1), "Apple fig pear apple kiwi");
    right_click(3, 2, {kFilterNotNull});
    EXPECT_EQ(column(1), "Apple pear apple kiwi") << "NULL rows do not match \"not NULL\"";
    right_click(0, 1, {kFilterNotEqual}); // name <> 'Apple'
    EXPECT_EQ(column(1), "pear apple kiwi");
    EXPECT_TRUE(lister.keys_received.empty());
}

TEST_F(GridOrder, TheSelectionsCountSumAndAverageShowInPlaceOfTheColumn) {
    press_key(grid(), VK_END);
    press_key(grid(), VK_DOWN, false, true);
    EXPECT_TRUE(status_reads(
        L"public.items   \u2014   5 rows   \u00b7   Count 2   Sum 20.49   Avg 10.2450000000000000"))
        << utf8_of(status_text(viewer));
    press_key(grid(), VK_DOWN, false, true);
    press_key(grid(), VK_LEFT, false, true);
    EXPECT_TRUE(status_reads(L"public.items   \u2014   5 rows   \u00b7   Count 5"))
        << "a text column among them: the count alone; NULL not counted";
    press_key(grid(), VK_UP);
    EXPECT_TRUE(status_reads(L"public.items   \u2014   5 rows   \u00b7   name text"))
        << "one cell: its column again";
}

TEST_F(GridOrder, ALargeSelectionIsSummedOnceTheKeysStopWhileTheKeysStillAct) {
    std::string lines;
    for (int r = 0; r < 50001; ++r) lines += std::to_string(r % 3) + "\t2\n";
    ASSERT_EQ(load_next(magic() +
                        section("SQL", "CREATE TABLE n (\n    a integer,\n    b bigint\n);\n") +
                        section("DATA", "COPY n (a, b) FROM stdin;\n" + lines + "\\.\n")),
              0);
    press_key(grid(), 'A', true);
    press_key(grid(), VK_DOWN); // a key before the sums: one cell again
    press_key(grid(), 'A', true);
    EXPECT_TRUE(pump_until(
        [&] {
            return status_text(viewer).find(L"Count 100,002   Sum 150003   Avg 1.5") !=
                   std::wstring::npos;
        },
        20000))
        << utf8_of(status_text(viewer));
    press_key(grid(), VK_UP, false, true);
    EXPECT_TRUE(pump_until([&] {
        return status_text(viewer).find(L"Count 100,000   Sum 149999   Avg 1.49999") !=
               std::wstring::npos;
    })) << "100,000 cells at once: "
        << utf8_of(status_text(viewer));
}
