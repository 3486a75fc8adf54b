// The find bar and the copy commands a data viewer's user reaches for first: Ctrl+F, F7, F3 and
// Shift+F3, Enter and Escape in the bar, Ctrl+Shift+C, and the host's own Copy and Select all.
#include "viewer_fixture.h"

#include <string>
#include <utility>

namespace {

const std::string kPeople =
    magic() + section("SQL", "create table t (id int, name text);\nselect name from t;\n") +
    section("DATA", "COPY t (id, name, city) FROM stdin;\n1\tAnna\tOslo\n2\tBoris\t\xD0\x9A\xD0\xB8"
                    "\xD0\xB5\xD0\xB2\n3\tanna-maria\tOSLO\n4\t\\N\tBergen\n\\.\n");

class FindBar : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_NE(open(kPeople), nullptr);
        ASSERT_TRUE(grid_shown());
    }
    HWND field() const { return only_visible("Edit"); }
    // The bar's label, which is the bar window's own text.
    std::wstring label() const {
        auto bars = children_of_class(viewer, "TavrinFindBar");
        return bars.size() == 1 ? window_text(bars[0]) : L"<no bar>";
    }
    std::wstring note() const { return window_text(only_visible("Static")); }
    // A control of the bar, a window of its own along the viewer's bottom edge, while it shows.
    HWND only_visible(const char *class_name) const {
        for (HWND bar : children_of_class(viewer, "TavrinFindBar"))
            for (HWND child : children_of_class(bar, class_name))
                if (IsWindowVisible(child)) return child;
        return nullptr;
    }
    // Keys as a keyboard sends them: a letter's key is its capital, typed lower case.
    void type(const char *keys) {
        for (const char *p = keys; *p; ++p)
            press_key(field(), static_cast<UINT>(*p >= 'a' && *p <= 'z' ? *p - 'a' + 'A' : *p));
    }
    // The cursor cell as the viewer colours it.
    std::pair<int, int> cursor() const {
        std::string map = cells(4, 3);
        size_t at = map.find('C');
        if (at == std::string::npos) return {-1, -1};
        return {static_cast<int>(at / 4), static_cast<int>(at % 4)};
    }
    int bottom_of(HWND child) const {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, viewer, reinterpret_cast<POINT *>(&r), 2);
        return r.bottom;
    }
    std::pair<DWORD, DWORD> text_selection() {
        DWORD start = 0, end = 0;
        SendMessageW(edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
};

std::pair<int, int> cell(int row, int col) {
    return {row, col};
}

// The first column of every row the grid shows, joined by blanks.
std::string ids(HWND grid) {
    std::string out;
    for (int r = 0; r < item_count(grid); ++r) out += (r ? " " : "") + item_text(grid, r, 0);
    return out;
}

} // namespace

TEST_F(FindBar, CtrlFOpensTheBarAndEnterFindsCellAfterCellGoingRound) {
    press_key(grid(), 'F', true);
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(GetFocus(), field());
    EXPECT_EQ(bottom_of(grid()), 600 - 30) << "the grid makes room for the bar";
    type("ANNA");
    press_key(field(), VK_RETURN);
    EXPECT_EQ(cursor(), cell(0, 1));
    EXPECT_EQ(note(), L"Row 1 of 4, column name");
    press_key(field(), VK_RETURN);
    EXPECT_EQ(cursor(), cell(2, 1)) << "case is ignored";
    press_key(field(), VK_RETURN);
    EXPECT_EQ(cursor(), cell(0, 1));
    EXPECT_EQ(note(), L"Row 1 of 4, column name (from the top again)");
    press_key(field(), VK_RETURN, false, true);
    EXPECT_EQ(cursor(), cell(2, 1));
    EXPECT_EQ(note(), L"Row 3 of 4, column name (from the end again)");
    EXPECT_EQ(GetFocus(), field()) << "the bar keeps the keyboard for the next Enter";
}

TEST_F(FindBar, DigitsTypeIntoTheFieldAndEscapeClosesOnlyTheBar) {
    press_key(grid(), VK_F7);
    ASSERT_NE(field(), nullptr);
    press_key(field(), '2');
    EXPECT_EQ(window_text(field()), L"2");
    EXPECT_TRUE(grid_shown()) << "a digit in the bar switches no tab";
    press_key(field(), VK_ESCAPE);
    EXPECT_EQ(field(), nullptr);
    EXPECT_EQ(GetFocus(), grid());
    EXPECT_TRUE(IsWindow(viewer));
    EXPECT_TRUE(lister.keys_received.empty()) << "the host never saw that Escape";
    EXPECT_EQ(bottom_of(grid()), 600);
    press_key(grid(), VK_ESCAPE);
    EXPECT_EQ(lister.keys_received.size(), 1u) << "outside the bar Escape goes to the host";
}

TEST_F(FindBar, F3AndShiftF3RepeatTheLastSearchWithTheBarClosedAndF7BringsItBack) {
    press_key(grid(), VK_F3);
    ASSERT_NE(field(), nullptr) << "with nothing searched yet F3 opens the bar";
    type("oslo");
    press_key(field(), VK_RETURN);
    EXPECT_EQ(cursor(), cell(0, 2));
    press_key(field(), VK_ESCAPE);
    press_key(grid(), VK_F3);
    EXPECT_EQ(cursor(), cell(2, 2));
    press_key(grid(), VK_F3, false, true);
    EXPECT_EQ(cursor(), cell(0, 2));
    press_key(grid(), VK_F7);
    EXPECT_EQ(window_text(field()), L"oslo");
    DWORD start = 9, end = 9;
    SendMessageW(field(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(DWORD(0), DWORD(4))) << "all selected";
}

TEST_F(FindBar, NotFoundLeavesCursorAndSelectionWhereTheyWere) {
    press_key(grid(), VK_DOWN, false, true);
    press_key(grid(), VK_RIGHT, false, true);
    const std::string before = cells(4, 3);
    press_key(grid(), 'F', true);
    type("zzz");
    press_key(field(), VK_RETURN);
    EXPECT_EQ(cells(4, 3), before);
    EXPECT_EQ(note(), L"Not found: \u201Czzz\u201D");
}

TEST_F(FindBar, ATextTooLongToSearchSaysSoAndIsNeverSearchedAsAPrefix) {
    press_key(grid(), 'F', true);
    ASSERT_NE(field(), nullptr);
    // 600 Cyrillic letters fit the field but not a search: 1,200 bytes of UTF-8.
    std::wstring cyrillic(600, L'\u0410');
    SetWindowTextW(field(), cyrillic.c_str());
    EXPECT_EQ(window_text(field()), cyrillic) << "the field holds it whole";
    const std::string before = cells(4, 3);
    press_key(field(), VK_RETURN);
    EXPECT_EQ(note(), L"The text is too long to find");
    EXPECT_EQ(cells(4, 3), before);
    press_key(field(), VK_ESCAPE);
    press_key(grid(), VK_F7);
    EXPECT_EQ(window_text(field()), cyrillic) << "the bar kept the text whole";
    // A paste longer than the field can hold is cut by the field, and still too long.
    SetWindowTextW(field(), L"");
    SendMessageW(field(), EM_REPLACESEL, FALSE,
                 reinterpret_cast<LPARAM>(std::wstring(5000, L'a').c_str()));
    EXPECT_LT(window_text(field()).size(), 5000u);
    press_key(field(), VK_RETURN);
    EXPECT_EQ(note(), L"The text is too long to find");
    EXPECT_EQ(cells(4, 3), before);
}

TEST_F(FindBar, InATextTabTheMatchIsSelectedInTheTextView) {
    ASSERT_TRUE(show_tab(2));
    press_key(edit(), 'F', true);
    type("NAME");
    press_key(field(), VK_RETURN);
    EXPECT_EQ(text_selection(), std::make_pair(DWORD(24), DWORD(28)));
    press_key(field(), VK_RETURN);
    EXPECT_EQ(text_selection(), std::make_pair(DWORD(43), DWORD(47)));
    EXPECT_EQ(note(), L"Line 2 of 3");
    press_key(field(), VK_ESCAPE);
    EXPECT_EQ(GetFocus(), edit());
    press_key(edit(), VK_F3, false, true);
    EXPECT_EQ(text_selection(), std::make_pair(DWORD(24), DWORD(28)));
}

TEST_F(FindBar, CtrlShiftCCopiesTheSelectionUnderItsColumnNames) {
    press_key(grid(), VK_RIGHT);
    press_key(grid(), VK_DOWN, false, true);
    press_key(grid(), VK_RIGHT, false, true);
    set_clipboard_text(L"former");
    press_key(grid(), 'C', true, true);
    EXPECT_EQ(clipboard_text(), L"name\tcity\r\nAnna\tOslo\r\nBoris\tКиев\r\n");
    press_key(grid(), 'C', true);
    EXPECT_EQ(clipboard_text(), L"Anna\tOslo\r\nBoris\tКиев\r\n") << "Ctrl+C alone: no names";
    ASSERT_TRUE(show_tab(2));
    SendMessageW(edit(), EM_SETSEL, 7, 12);
    press_key(edit(), 'C', true, true);
    EXPECT_EQ(clipboard_text(), L"table") << "a text has no names: Ctrl+Shift+C copies as Ctrl+C";
}

TEST_F(FindBar, TheHostsCopyAndSelectAllActOnTheCurrentTab) {
    set_clipboard_text(L"former");
    EXPECT_EQ(module.ListSendCommand(viewer, 3, 0), 0);
    EXPECT_EQ(cells(4, 3), "SSS|SSS|SSS|SSC");
    EXPECT_EQ(module.ListSendCommand(viewer, 1, 0), 0);
    EXPECT_EQ(clipboard_text(),
              L"1\tAnna\tOslo\r\n2\tBoris\tКиев\r\n3\tanna-maria\tOSLO\r\n4\t\tBergen\r\n");

    ASSERT_TRUE(show_tab(2));
    EXPECT_EQ(module.ListSendCommand(viewer, 1, 0), 0);
    EXPECT_EQ(clipboard_text(), text_view()) << "nothing selected: the whole text";
    EXPECT_EQ(module.ListSendCommand(viewer, 3, 0), 0);
    EXPECT_EQ(text_selection(), std::make_pair(DWORD(0), DWORD(text_view().size())));

    set_clipboard_text(L"former");
    EXPECT_EQ(module.ListSendCommand(viewer, 2, 0), 0);
    EXPECT_EQ(module.ListSendCommand(viewer, 4, 50), 0);
    EXPECT_EQ(module.ListSendCommand(lister.hwnd, 1, 0), 0) << "not a viewer: nothing done";
    EXPECT_EQ(clipboard_text(), L"former");
}

TEST_F(FindBar, TypingInTheFilterNarrowsTheRowsEnterKeepsThemEscapeBringsThemAllBack) {
    press_key(grid(), VK_DOWN); // the cursor on Boris's record
    press_key(grid(), 'F', true, true);
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(GetFocus(), field());
    type("osl");
    EXPECT_EQ(ids(grid()), "1 3") << "the rows with a cell holding it, ignoring case";
    EXPECT_EQ(note(), L"2 of 4 rows");
    EXPECT_TRUE(pump_until([&] {
        return status_text(viewer) ==
               L"t   \u2014   contains 'osl' \u2014 2 of 4 rows   \u00b7   id int";
    })) << "the status line: "
        << utf8_of(status_text(viewer));
    press_key(field(), VK_BACK);
    press_key(field(), VK_BACK);
    press_key(field(), VK_BACK);
    EXPECT_EQ(ids(grid()), "1 2 3 4") << "an empty text shows every row";
    type("n");
    EXPECT_EQ(ids(grid()), "1 3 4");
    press_key(field(), VK_RETURN);
    EXPECT_EQ(field(), nullptr) << "Enter closes the bar";
    EXPECT_EQ(GetFocus(), grid());
    EXPECT_EQ(ids(grid()), "1 3 4") << "and keeps the filter";
    EXPECT_EQ(cursor(), cell(0, 0)) << "Boris no longer shows: the first row";

    press_key(grid(), 'F', true, true);
    EXPECT_EQ(window_text(field()), L"n") << "Ctrl+Shift+F reopens the bar with the filter";
    DWORD start = 9, end = 9;
    SendMessageW(field(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(DWORD(0), DWORD(1))) << "selected";
    press_key(field(), VK_ESCAPE);
    EXPECT_EQ(field(), nullptr);
    EXPECT_EQ(ids(grid()), "1 2 3 4") << "Escape clears the filter";
    EXPECT_TRUE(pump_until(
        [&] { return status_text(viewer) == L"t   \u2014   4 rows   \u00b7   id int"; }));
    EXPECT_TRUE(lister.keys_received.empty()) << "the host never saw that Escape";
}

TEST_F(FindBar, CopyFindAndSelectAllFollowTheFilteredRows) {
    press_key(grid(), 'F', true, true);
    type("an");
    press_key(field(), VK_RETURN);
    ASSERT_EQ(ids(grid()), "1 3") << "Anna, anna-maria";
    press_key(grid(), 'A', true);
    press_key(grid(), 'C', true);
    EXPECT_EQ(clipboard_text(), L"1\tAnna\tOslo\r\n3\tanna-maria\tOSLO\r\n");
    press_key(grid(), VK_HOME, true);
    press_key(grid(), 'F', true);
    type("bergen");
    press_key(field(), VK_RETURN);
    EXPECT_EQ(note(), L"Not found: \u201Cbergen\u201D") << "Bergen's row is filtered out";
    SetWindowTextW(field(), L"oslo");
    press_key(field(), VK_RETURN);
    EXPECT_EQ(cursor(), cell(0, 2));
    EXPECT_EQ(note(), L"Row 1 of 2, column city");
    press_key(field(), VK_RETURN);
    EXPECT_EQ(cursor(), cell(1, 2)) << "anna-maria's OSLO, the next row shown";
}

TEST_F(FindBar, ANewFileShowsEveryRowAndForgetsTheFilter) {
    press_key(grid(), 'F', true, true);
    type("oslo");
    ASSERT_EQ(item_count(grid()), 2);
    ASSERT_EQ(load_next(kPeople), 0);
    EXPECT_EQ(item_count(grid()), 4);
    EXPECT_EQ(field(), nullptr) << "the filtering bar closed";
    press_key(grid(), 'F', true, true);
    EXPECT_EQ(window_text(field()), L"");
}

TEST_F(FindBar, AFilterThatNamesAColumnAndAnOperatorIsAConditionAndSaysWhyWhileItCannotBeRead) {
    press_key(grid(), 'F', true, true);
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(label(), L"Filter:");
    SetWindowTextW(field(), L"id >= 2 AND city <> 'Oslo'");
    pump_pending();
    EXPECT_EQ(label(), L"Filter (condition):");
    EXPECT_EQ(ids(grid()), "2 3 4") << "compared by their bytes: OSLO is not Oslo";
    EXPECT_EQ(note(), L"3 of 4 rows");
    EXPECT_TRUE(pump_until([&] {
        return status_text(viewer) ==
               L"t   \u2014   id >= 2 AND city <> 'Oslo' \u2014 3 of 4 rows   \u00b7   id int";
    })) << utf8_of(status_text(viewer));

    // Half typed: the bar says why and where, and the rows stay as they were.
    SetWindowTextW(field(), L"id >= 2 AND name = 'Bo");
    pump_pending();
    EXPECT_EQ(label(), L"Filter (condition):");
    EXPECT_EQ(note().rfind(L"At character 20: ", 0), 0u) << utf8_of(note());
    EXPECT_EQ(ids(grid()), "2 3 4");
    SetWindowTextW(field(), L"id > 'two'");
    pump_pending();
    EXPECT_EQ(note().rfind(L"At character 6: ", 0), 0u) << utf8_of(note());
    EXPECT_EQ(ids(grid()), "2 3 4") << "no value of the column's type: nothing filtered";
    SetWindowTextW(field(), L"ID IS NOT NULL AND (name ILIKE 'ANNA%' OR name IS NULL)");
    pump_pending();
    EXPECT_EQ(ids(grid()), "1 3 4") << "names folded as the server folds them; ILIKE ignores case";

    // Any other text is the text filter again.
    SetWindowTextW(field(), L"BERG");
    pump_pending();
    EXPECT_EQ(label(), L"Filter:");
    EXPECT_EQ(ids(grid()), "4");
    press_key(field(), VK_ESCAPE);
    EXPECT_EQ(ids(grid()), "1 2 3 4");
}

TEST_F(FindBar, CtrlGGoesToARowAsShownAndPastTheEndToTheLast) {
    press_key(grid(), VK_RIGHT);
    press_key(grid(), 'G', true);
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(label(), L"Go to row:");
    EXPECT_EQ(GetFocus(), field());
    type("3");
    EXPECT_TRUE(grid_shown()) << "a digit is typed, not a tab";
    press_key(field(), VK_RETURN);
    EXPECT_EQ(cursor(), cell(2, 1)) << "the third row, the column kept";
    EXPECT_EQ(field(), nullptr) << "the bar closed";
    EXPECT_EQ(GetFocus(), grid());

    press_key(grid(), 'G', true);
    EXPECT_EQ(window_text(field()), L"3") << "the last number, selected";
    SetWindowTextW(field(), L"1,000");
    press_key(field(), VK_RETURN);
    EXPECT_EQ(cursor(), cell(3, 1));
    EXPECT_EQ(note(), L"Past the end: row 4 is the last");
    EXPECT_NE(field(), nullptr) << "the bar stays to say so";
    SetWindowTextW(field(), L"second");
    press_key(field(), VK_RETURN);
    EXPECT_EQ(note(), L"Type a row number, 1 to 4");
    EXPECT_EQ(cursor(), cell(3, 1));
    press_key(field(), VK_ESCAPE);
    EXPECT_EQ(field(), nullptr);

    // Among the rows as shown: the second row of a filter.
    press_key(grid(), 'F', true, true);
    type("oslo");
    press_key(field(), VK_RETURN);
    press_key(grid(), 'G', true);
    SetWindowTextW(field(), L"2");
    press_key(field(), VK_RETURN);
    EXPECT_EQ(cursor(), cell(1, 1));
    EXPECT_EQ(item_text(grid(), 1, 0), "3");
    EXPECT_TRUE(lister.keys_received.empty());
}
