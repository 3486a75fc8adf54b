// Keys in the text view: select-all, and copying the whole tab text or the selected part.
#include "viewer_fixture.h"

#include <utility>

namespace {

class TextViewKeys : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_NE(open(magic() + section("SQL", "-- Grüße / 日本\nselect 1;\n") +
                       section("INFO", "dumped\tat noon") +
                       section("DATA", "COPY t (a) FROM stdin;\n\\N\n\\.\n")),
                  nullptr);
        set_clipboard_text(L"former");
    }
    std::pair<DWORD, DWORD> selection() {
        DWORD start = 0, end = 0;
        SendMessageW(edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    const std::wstring sql = L"-- Grüße / 日本\nselect 1;\n";
};

} // namespace

TEST_F(TextViewKeys, CtrlASelectsTheWholeTextAndAAloneDoesNot) {
    ASSERT_TRUE(show_tab(2));
    press_key(edit(), 'A');
    EXPECT_EQ(selection(), std::make_pair(DWORD(0), DWORD(0)));
    press_key(edit(), 'A', true);
    EXPECT_EQ(selection(), std::make_pair(DWORD(0), DWORD(sql.size())));
}

TEST_F(TextViewKeys, CtrlCWithNothingSelectedCopiesTheWholeTextOfTheTab) {
    ASSERT_TRUE(show_tab(2));
    press_key(edit(), 'C', true);
    EXPECT_EQ(clipboard_text(), sql);
    ASSERT_TRUE(show_tab(3));
    press_key(edit(), VK_INSERT, true);
    EXPECT_EQ(clipboard_text(), L"dumped\tat noon");
    ASSERT_TRUE(show_tab(4));
    press_key(edit(), 'C', true);
    EXPECT_EQ(clipboard_text(), sql + L"\n\nCOPY t (a) FROM stdin;\n\\N\n\\.\n\ndumped\tat noon");
}

TEST_F(TextViewKeys, CtrlCWithAPartSelectedCopiesThatPart) {
    ASSERT_TRUE(show_tab(2));
    SendMessageW(edit(), EM_SETSEL, 3, 8);
    press_key(edit(), 'C', true);
    EXPECT_EQ(clipboard_text(), L"Grüße");
    SendMessageW(edit(), EM_SETSEL, 11, 13);
    press_key(edit(), VK_INSERT, true);
    EXPECT_EQ(clipboard_text(), L"日本");
}

TEST_F(TextViewKeys, CtrlCAfterCtrlACopiesWhatIsShown) {
    ASSERT_TRUE(show_tab(4));
    press_key(edit(), 'A', true);
    press_key(edit(), 'C', true);
    EXPECT_EQ(clipboard_text(), text_view());
}

TEST_F(TextViewKeys, AnAbsentSectionCopiesAsAnEmptyTextNotItsPlaceholder) {
    ASSERT_EQ(load_next(data_dump("a", "1\n")), 0);
    ASSERT_TRUE(show_tab(2));
    ASSERT_EQ(text_view(), L"(no SQL)");
    press_key(edit(), 'C', true);
    EXPECT_EQ(clipboard_text(), L"");
    set_clipboard_text(L"former");
    ASSERT_TRUE(show_tab(3));
    ASSERT_EQ(text_view(), L"(no info)");
    press_key(edit(), VK_INSERT, true);
    EXPECT_EQ(clipboard_text(), L"");
}

TEST_F(TextViewKeys, OtherKeysReachTheTextViewItself) {
    ASSERT_TRUE(show_tab(2));
    press_key(edit(), VK_END);
    const DWORD first_line = 13;
    EXPECT_EQ(selection(), std::make_pair(first_line, first_line));
    press_key(edit(), VK_HOME, false, true);
    EXPECT_EQ(selection(), std::make_pair(DWORD(0), first_line));
}

TEST_F(TextViewKeys, TypingLeavesTheTextAsItIs) {
    ASSERT_TRUE(show_tab(2));
    press_key(edit(), 'X');
    press_key(edit(), VK_DELETE);
    press_key(edit(), 'A', true);
    press_key(edit(), VK_BACK);
    EXPECT_EQ(text_view(), sql);
}
