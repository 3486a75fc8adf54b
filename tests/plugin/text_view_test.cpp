// The text tabs' own view on the real window: moves by whole characters, the mouse, scrolling past
// 65,535 lines, and the edit-control messages that other programs read it with.
#include "viewer_fixture.h"

#include <string>
#include <utility>

namespace {

class TextView : public ViewerTest {
  protected:
    void open_sql(const std::string &sql) {
        ASSERT_NE(open(magic() + section("SQL", sql)), nullptr);
        ASSERT_TRUE(text_shown());
        ASSERT_EQ(GetFocus(), edit());
    }
    // The selection as EM_GETSEL reports it, in UTF-16 units, lower first.
    std::pair<DWORD, DWORD> selection() {
        DWORD start = 0, end = 0;
        SendMessageW(edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    void select(int start, int end) { SendMessageW(edit(), EM_SETSEL, start, end); }
    // The client point just inside the character cell the caret stands before at `units`.
    POINT point_of(int units) {
        select(units, units);
        POINT caret = {};
        GetCaretPos(&caret);
        return POINT{caret.x + 2, caret.y + 3};
    }
    int top_line() { return GetScrollPos(edit(), SB_VERT); }
};

std::pair<DWORD, DWORD> span(DWORD a, DWORD b) {
    return {a, b};
}

} // namespace

TEST_F(TextView, ArrowsStepOverWholeCharactersAndKeepTheColumnGoingUpAndDown) {
    // "é" is two bytes, the emoji four bytes and two UTF-16 units, the tab eight columns.
    open_sql("a\xC3\xA9\xF0\x9F\x98\x80z\n\tbcdefghijk\nxy\n");
    press_key(edit(), VK_RIGHT);
    press_key(edit(), VK_RIGHT);
    EXPECT_EQ(selection(), span(2, 2));
    press_key(edit(), VK_RIGHT, false, true);
    EXPECT_EQ(selection(), span(2, 4)) << "the pair is one step";
    press_key(edit(), VK_LEFT);
    EXPECT_EQ(selection(), span(2, 2)) << "Left collapses a selection to its start";
    press_key(edit(), VK_END);
    press_key(edit(), VK_DOWN);
    // Column 5 of a line that starts with a tab lies in the tab's right half: the caret goes
    // after it, the nearer side, as a click there would.
    EXPECT_EQ(selection(), span(7, 7));
    press_key(edit(), VK_END);
    press_key(edit(), VK_DOWN);
    EXPECT_EQ(selection(), span(20, 20)) << "a shorter line: its end";
    press_key(edit(), VK_UP);
    EXPECT_EQ(selection(), span(17, 17)) << "the goal column comes back on a longer line";
    press_key(edit(), VK_HOME, true, true);
    EXPECT_EQ(selection(), span(0, 17));
}

TEST_F(TextView, CtrlArrowsMoveByWords) {
    open_sql("select id, name\nfrom t;");
    press_key(edit(), VK_RIGHT, true);
    EXPECT_EQ(selection(), span(7, 7));
    press_key(edit(), VK_RIGHT, true);
    EXPECT_EQ(selection(), span(9, 9)) << "the comma is a word of its own";
    press_key(edit(), VK_END);
    press_key(edit(), VK_RIGHT, true);
    EXPECT_EQ(selection(), span(16, 16)) << "at a line's end, to the next line";
    press_key(edit(), VK_LEFT, true, true);
    EXPECT_EQ(selection(), span(15, 16));
}

TEST_F(TextView, AClickPlacesTheCaretADragSelectsShiftClickExtendsADoubleClickTakesAWord) {
    open_sql("select id, name\nfrom items;\n");
    POINT at_id = point_of(7), at_name = point_of(11), at_items = point_of(21);
    select(0, 0);
    click(edit(), at_name);
    EXPECT_EQ(selection(), span(11, 11));
    click(edit(), at_items, true);
    EXPECT_EQ(selection(), span(11, 21));

    SendMessageW(edit(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at_id.x, at_id.y));
    SendMessageW(edit(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at_items.x, at_items.y));
    SendMessageW(edit(), WM_LBUTTONUP, 0, MAKELPARAM(at_items.x, at_items.y));
    EXPECT_EQ(selection(), span(7, 21));

    SendMessageW(edit(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at_items.x, at_items.y));
    EXPECT_EQ(selection(), span(21, 26));
    set_clipboard_text(L"former");
    press_key(edit(), 'C', true);
    EXPECT_EQ(clipboard_text(), L"items");
}

TEST_F(TextView, ScrollsThroughMoreLinesThanSixteenBitsCountAndWithTheWheel) {
    std::string sql;
    for (int i = 0; i < 100000; ++i) sql += "line " + std::to_string(i) + "\n";
    open_sql(sql);
    EXPECT_EQ(SendMessageW(edit(), EM_GETLINECOUNT, 0, 0), 100001);
    press_key(edit(), VK_END, true);
    EXPECT_GT(top_line(), 99000) << "the scroll position holds 32 bits";
    SCROLLINFO si = {sizeof si, SIF_ALL};
    GetScrollInfo(edit(), SB_VERT, &si);
    EXPECT_EQ(si.nMax, 100000);
    press_key(edit(), VK_HOME, true);
    EXPECT_EQ(top_line(), 0);
    SendMessageW(edit(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_GT(top_line(), 0) << "the wheel scrolls down";
    SendMessageW(edit(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_GT(top_line(), 10);
    EXPECT_EQ(selection(), span(0, 0)) << "scrolling leaves the caret where it is";
}

TEST_F(TextView, ScrollsSidewaysNoFurtherThanTheWidestLinesEnd) {
    open_sql("short\n" + std::string(300, 'w') + "\n");
    press_key(edit(), VK_DOWN);
    press_key(edit(), VK_END);
    SCROLLINFO at_end = {sizeof at_end, SIF_ALL};
    GetScrollInfo(edit(), SB_HORZ, &at_end);
    EXPECT_EQ(at_end.nMax, 300) << "the range: columns 0 to 300, where the caret stands at the end";
    EXPECT_EQ(at_end.nPos, at_end.nMax - static_cast<int>(at_end.nPage) + 1) << "at the right edge";
    for (int i = 0; i < 50; ++i) SendMessageW(edit(), WM_HSCROLL, SB_LINEDOWN, 0);
    for (int i = 0; i < 5; ++i) SendMessageW(edit(), WM_HSCROLL, SB_PAGEDOWN, 0);
    SendMessageW(edit(), WM_HSCROLL, SB_BOTTOM, 0);
    for (int i = 0; i < 20; ++i)
        SendMessageW(edit(), WM_MOUSEHWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    SCROLLINFO after = {sizeof after, SIF_ALL};
    GetScrollInfo(edit(), SB_HORZ, &after);
    EXPECT_EQ(after.nMax, at_end.nMax) << "the range does not grow to follow";
    EXPECT_EQ(after.nPos, at_end.nPos) << "no blank columns beyond the widest line";
}

TEST_F(TextView, TheTiltWheelScrollsByItsOwnTurnsNeverByTheVerticalWheelsRemainder) {
    std::string sql;
    for (int i = 0; i < 200; ++i) sql += std::string(400, 'x') + "\n";
    open_sql(sql);
    UINT lines = 3, chars = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    SystemParametersInfoW(SPI_GETWHEELSCROLLCHARS, 0, &chars, 0);
    ASSERT_GT(lines, 0u);
    ASSERT_GT(chars, 0u);
    // Each turn just short of one line or column, so that two of them, pooled, would make a step.
    const int vertical = (WHEEL_DELTA - 1) / static_cast<int>(lines);
    const int sideways = (WHEEL_DELTA - 1) / static_cast<int>(chars);
    ASSERT_GE((vertical * static_cast<int>(lines) + sideways * static_cast<int>(chars)),
              WHEEL_DELTA);
    SendMessageW(edit(), WM_MOUSEWHEEL, MAKEWPARAM(0, -vertical), 0);
    EXPECT_EQ(top_line(), 0) << "less than a line";
    SendMessageW(edit(), WM_MOUSEHWHEEL, MAKEWPARAM(0, sideways), 0);
    EXPECT_EQ(GetScrollPos(edit(), SB_HORZ), 0) << "less than a column of its own";
    SendMessageW(edit(), WM_MOUSEHWHEEL, MAKEWPARAM(0, sideways), 0);
    EXPECT_GT(GetScrollPos(edit(), SB_HORZ), 0) << "its own turns add up";
    EXPECT_EQ(top_line(), 0);
}

TEST_F(TextView, AnswersTheEditControlsMessagesInUtf16Units) {
    const std::wstring text = L"id\t\U0001F600\r\nCafé\n";
    open_sql("id\t\xF0\x9F\x98\x80\r\nCaf\xC3\xA9\n");
    EXPECT_EQ(GetWindowTextLengthW(edit()), static_cast<int>(text.size()));
    EXPECT_EQ(text_view(), text);
    wchar_t small[4];
    EXPECT_EQ(GetWindowTextW(edit(), small, 4), 3) << "as much as fits";
    EXPECT_EQ(std::wstring(small), L"id\t");
    EXPECT_EQ(SendMessageW(edit(), EM_GETLINECOUNT, 0, 0), 3);

    select(0, -1);
    EXPECT_EQ(selection(), span(0, static_cast<DWORD>(text.size())));
    select(4, 9);
    EXPECT_EQ(selection(), span(3, 9)) << "a position inside a pair is the pair's start";
    EXPECT_EQ(SendMessageW(edit(), EM_GETSEL, 0, 0), MAKELRESULT(3, 9));
    set_clipboard_text(L"former");
    SendMessageW(edit(), WM_COPY, 0, 0);
    EXPECT_EQ(clipboard_text(), L"\U0001F600\r\nCa");
    select(-1, 0);
    EXPECT_EQ(selection(), span(9, 9)) << "a start of -1 drops the selection";
    SendMessageW(edit(), WM_CHAR, 'x', 0);
    EXPECT_EQ(text_view(), text) << "read-only";
}
