// A cell's whole value in the value view: Enter and a double click open it, Escape and Enter go
// back to the grid as it was, Alt+Up and Alt+Down step through the column, and copy, find and the
// host's commands act on the value; and the grid's "Copy as" formats.
#include "menu_driver.h"
#include "viewer_fixture.h"

#include <string>
#include <vector>

namespace {

const std::string kNotes =
    magic() +
    section("SQL", "CREATE TABLE public.notes (\n    id integer,\n    body text,\n"
                   "    doc jsonb\n);\n") +
    section("DATA", "COPY public.notes (id, body, doc) FROM stdin;\n"
                    "1\tline one\\nline two\\tend\t{\"a\": 1, \"b\": [true, null]}\n"
                    "2\t\\N\tnot json\n"
                    "3\tsay \"hi\", \\\\ ok\t[]\n\\.\n");

class ValueView : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_NE(open(kNotes), nullptr);
        ASSERT_TRUE(grid_shown());
    }
    HWND value_window() const {
        auto found = children_of_class(viewer, "TavrinValue");
        return found.size() == 1 ? found[0] : nullptr;
    }
    HWND value_text() const {
        auto found = children_of_class(value_window(), "TavrinText");
        return found.size() == 1 ? found[0] : nullptr;
    }
    bool value_shown() const { return IsWindowVisible(value_window()) && !IsWindowVisible(grid()); }
    std::wstring status() const { return status_text(viewer); }
    // A key with Alt held, which the keyboard sends as a system key with its Alt bit set.
    void press_alt(UINT vk) {
        SendMessageW(value_text(), WM_SYSKEYDOWN, vk, 1 | 1 << 29);
        pump_pending();
    }
    std::wstring copy_as(int format) {
        set_clipboard_text(L"former");
        MenuDriver menu;
        menu.pick = {2, format};
        arm_menu_driver(&menu);
        press_key(grid(), VK_APPS);
        disarm_menu_driver();
        return clipboard_text();
    }
};

} // namespace

TEST_F(ValueView, EnterShowsTheWholeValueDecodedAndEscapeGoesBackWithTheGridAsItWas) {
    press_key(grid(), VK_RIGHT);
    const std::string before = cells(3, 3);
    press_key(grid(), VK_RETURN);
    ASSERT_TRUE(value_shown());
    EXPECT_EQ(GetFocus(), value_text());
    EXPECT_EQ(window_text(value_text()), L"line one\nline two\tend");
    EXPECT_TRUE(pump_until([&] { return status() == L"Row 1 of 3, column body text"; }))
        << utf8_of(status());
    press_key(value_text(), '1');
    EXPECT_TRUE(value_shown()) << "Data is the tab already";
    press_key(value_text(), VK_ESCAPE);
    EXPECT_TRUE(grid_shown());
    EXPECT_EQ(GetFocus(), grid());
    EXPECT_EQ(cells(3, 3), before);
    EXPECT_TRUE(lister.keys_received.empty()) << "this Escape was not the host's";
    press_key(grid(), VK_RETURN);
    ASSERT_TRUE(value_shown());
    press_key(value_text(), VK_RETURN);
    EXPECT_TRUE(grid_shown()) << "Enter goes back too";
    EXPECT_EQ(cells(3, 3), before);
}

TEST_F(ValueView, ADoubleClickOpensTheCellAndAltArrowsStepThroughTheColumn) {
    POINT at = cell_center(grid(), 0, 2);
    SendMessageW(grid(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ASSERT_TRUE(value_shown());
    EXPECT_EQ(window_text(value_text()), L"{\n  \"a\": 1,\n  \"b\": [\n    true,\n    null\n  ]\n}")
        << "JSON indented, two blanks a level";
    press_alt(VK_DOWN);
    EXPECT_EQ(window_text(value_text()), L"not json") << "shown as stored";
    EXPECT_TRUE(pump_until([&] { return status().find(L"not valid JSON") != std::wstring::npos; }));
    press_alt(VK_DOWN);
    EXPECT_EQ(window_text(value_text()), L"[]");
    press_alt(VK_DOWN);
    EXPECT_EQ(window_text(value_text()), L"[]") << "the last row stays";
    press_alt(VK_UP);
    press_alt(VK_UP);
    press_alt(VK_LEFT);
    EXPECT_EQ(window_text(value_text()),
              L"{\n  \"a\": 1,\n  \"b\": [\n    true,\n    null\n  ]\n}");
    press_key(value_text(), VK_ESCAPE);
    EXPECT_EQ(cells(3, 3), "..C|...|...") << "the cursor followed the value shown";
}

TEST_F(ValueView, ANullShowsAnEmptyViewAndTheStatusSaysSo) {
    press_key(grid(), VK_DOWN);
    press_key(grid(), VK_RIGHT);
    press_key(grid(), VK_RETURN);
    ASSERT_TRUE(value_shown());
    EXPECT_EQ(window_text(value_text()), L"");
    EXPECT_TRUE(pump_until([&] {
        return status() == L"Row 2 of 3, column body text   \u2014   NULL";
    })) << utf8_of(status());
}

TEST_F(ValueView, CopySelectAllFindAndTheHostsCommandsActOnTheValue) {
    press_key(grid(), VK_RIGHT);
    press_key(grid(), VK_RETURN);
    ASSERT_TRUE(value_shown());
    set_clipboard_text(L"former");
    press_key(value_text(), 'C', true);
    EXPECT_EQ(clipboard_text(), L"line one\nline two\tend") << "nothing selected: the whole value";
    EXPECT_EQ(module.ListSendCommand(viewer, 3, 0), 0);
    DWORD start = 9, end = 9;
    SendMessageW(value_text(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end - start, 21u) << "the host's Select all";
    press_key(value_text(), 'F', true);
    SetWindowTextW(GetFocus(), L"TWO");
    press_key(GetFocus(), VK_RETURN);
    SendMessageW(value_text(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 14u);
    EXPECT_EQ(end, 17u);
    press_key(GetFocus(), VK_ESCAPE);
    EXPECT_EQ(GetFocus(), value_text()) << "the bar gives the keyboard back to the value";
    press_key(value_text(), '3');
    EXPECT_TRUE(text_shown()) << "digits still switch tabs";
    ASSERT_TRUE(show_tab(1));
    EXPECT_TRUE(grid_shown()) << "a tab opens on its own view";
}

TEST_F(ValueView, CopyAsPutsTheSelectionInEachFormat) {
    press_key(grid(), VK_RIGHT, false, true);
    EXPECT_EQ(copy_as(0), L"id,body\r\n1,\"line one\nline two\tend\"\r\n");
    EXPECT_EQ(copy_as(1),
              L"INSERT INTO public.notes (id, body) VALUES (1, 'line one\nline two\tend');\r\n");
    EXPECT_EQ(copy_as(2), L"[\r\n  {\"id\": 1, \"body\": \"line one\\nline two\\tend\"}\r\n]\r\n");
    EXPECT_EQ(copy_as(3),
              L"| id | body |\r\n| ---: | --- |\r\n| 1 | line one<br>line two\tend |\r\n");
}

TEST_F(ValueView, TheNextFileClosesTheValueAndTheGridShowsItsFirstCell) {
    press_key(grid(), VK_DOWN);
    press_key(grid(), VK_RIGHT);
    press_key(grid(), VK_RETURN);
    ASSERT_TRUE(value_shown());
    ASSERT_EQ(load_next(magic() + section("DATA", "COPY t (a) FROM stdin;\nnext\n\\.\n")), 0);
    EXPECT_TRUE(grid_shown()) << "the value of the file before is gone with it";
    EXPECT_FALSE(IsWindowVisible(value_window()));
    EXPECT_EQ(item_text(grid(), 0, 0), "next");
    EXPECT_FALSE(status().find(L"Row ") == 0) << status();
}

TEST_F(ValueView, ARightClickInTheValueOpensItsMenuAsShiftF10Does) {
    press_key(grid(), VK_RIGHT);
    press_key(grid(), VK_RETURN);
    ASSERT_TRUE(value_shown());
    MenuDriver menu;
    menu.pick = {1}; // Select all
    arm_menu_driver(&menu);
    const POINT at = {20, 10};
    SendMessageW(value_text(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(value_text(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    disarm_menu_driver();
    ASSERT_TRUE(menu.opened) << "the click went nowhere";
    EXPECT_EQ(menu.items, (std::vector<std::wstring>{L"Copy\tCtrl+C", L"Select all\tCtrl+A", L"-",
                                                     L"Find...\tCtrl+F"}));
    DWORD start = 9, end = 9;
    SendMessageW(value_text(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 21u) << "the whole value";
    MenuDriver keyboard;
    keyboard.pick = {0}; // Copy
    arm_menu_driver(&keyboard);
    press_key(value_text(), VK_F10, false, true);
    disarm_menu_driver();
    EXPECT_TRUE(keyboard.opened);
    EXPECT_EQ(keyboard.items, menu.items);
    EXPECT_EQ(clipboard_text(), L"line one\nline two\tend");
    EXPECT_TRUE(value_shown());
}

TEST_F(ValueView, CtrlIShowsTheColumnsSummaryOverTheRowsAsShownAndEscapeGoesBack) {
    press_key(grid(), VK_RIGHT);
    press_key(grid(), VK_DOWN);
    const std::string before = cells(3, 3);
    press_key(grid(), 'I', true);
    ASSERT_TRUE(value_shown());
    EXPECT_EQ(GetFocus(), value_text());
    const std::wstring summary = window_text(value_text());
    EXPECT_EQ(summary.substr(0, summary.find(L"\nmin: ")),
              L"body text \u2014 3 rows\nnull: 1\ndistinct: 2")
        << utf8_of(summary);
    EXPECT_NE(summary.find(L"\nmost common:\n1\t33.3%\t"), std::wstring::npos) << utf8_of(summary);
    EXPECT_TRUE(pump_until([&] { return status() == L"Summary of column body text over 3 rows"; }))
        << utf8_of(status());
    press_alt(VK_DOWN);
    EXPECT_EQ(window_text(value_text()), summary) << "no cell to step from";
    press_key(value_text(), VK_ESCAPE);
    EXPECT_TRUE(grid_shown());
    EXPECT_EQ(cells(3, 3), before) << "the cursor where it was";
    EXPECT_TRUE(lister.keys_received.empty());

    // The menu's item, over the rows a filter lets through.
    press_key(grid(), 'F', true, true);
    SetWindowTextW(GetFocus(), L"id <> 1");
    press_key(GetFocus(), VK_RETURN);
    ASSERT_EQ(item_count(grid()), 2);
    press_key(grid(), VK_LEFT);
    MenuDriver menu;
    menu.pick = {5}; // Column summary
    arm_menu_driver(&menu);
    press_key(grid(), VK_APPS);
    disarm_menu_driver();
    ASSERT_TRUE(value_shown());
    EXPECT_EQ(window_text(value_text()).substr(0, window_text(value_text()).find(L"\nmost")),
              L"id integer \u2014 2 rows\nnull: 0\ndistinct: 2\nmin: 2\nmax: 3\nsum: 5\navg: "
              L"2.5000000000000000")
        << utf8_of(window_text(value_text()));
    EXPECT_TRUE(pump_until([&] {
        return status() == L"Summary of column id integer over 2 of 3 rows";
    })) << utf8_of(status());
    press_key(value_text(), VK_RETURN);
    EXPECT_TRUE(grid_shown()) << "Enter goes back too";
}

TEST_F(ValueView, OnAnEmptyGridCtrlISumsUpTheFirstColumn) {
    ASSERT_EQ(load_next(magic() + section("SQL", "CREATE TABLE e (\n    n numeric\n);\n") +
                        section("DATA", "COPY e (n) FROM stdin;\n\\.\n")),
              0);
    press_key(grid(), 'I', true);
    ASSERT_TRUE(value_shown());
    EXPECT_EQ(window_text(value_text()),
              L"n numeric \u2014 0 rows\nnull: 0\ndistinct: 0\nmin: null\nmax: null\nsum: "
              L"null\navg: null\nmost common:\n");
}
