// Keys the viewer hands on rather than acting on in place: Escape to the host, digits to tabs.
#include "viewer_fixture.h"

#include <algorithm>

namespace {

class KeysToHost : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_NE(open(magic() + section("SQL", "select 1;\n") + section("INFO", "about") +
                       section("DATA", "COPY t (a) FROM stdin;\n1\n2\n\\.\n")),
                  nullptr);
    }
    bool lister_got_escape() {
        return std::count(lister.keys_received.begin(), lister.keys_received.end(),
                          WPARAM(VK_ESCAPE)) == 1;
    }
    LRESULT send_key(HWND child, WPARAM key) {
        return SendMessageA(child, WM_KEYDOWN, key, 1 | MapVirtualKeyA(key, MAPVK_VK_TO_VSC) << 16);
    }
};

} // namespace

TEST_F(KeysToHost, EscapeInTheGridIsPostedToTheLister) {
    EXPECT_EQ(send_key(grid(), VK_ESCAPE), 0);
    EXPECT_TRUE(lister.keys_received.empty()) << "sent, not posted";
    EXPECT_TRUE(pump_until([&] { return lister_got_escape(); }));
    EXPECT_TRUE(grid_shown());
}

TEST_F(KeysToHost, EscapeInTheTextViewIsPostedToTheLister) {
    ASSERT_TRUE(show_tab(3));
    EXPECT_EQ(send_key(edit(), VK_ESCAPE), 0);
    EXPECT_TRUE(lister.keys_received.empty()) << "sent, not posted";
    EXPECT_TRUE(pump_until([&] { return lister_got_escape(); }));
    EXPECT_EQ(lister.keys_received.size(), 1u);
}

TEST_F(KeysToHost, ADigitSwitchesTabsOnceItsKeyHasBeenHandled) {
    EXPECT_EQ(send_key(grid(), '4'), 0);
    EXPECT_TRUE(grid_shown()) << "the switch is posted, not made inside the key";
    ASSERT_TRUE(pump_until([&] { return text_shown(); }));
    EXPECT_EQ(text_view(), L"select 1;\n\n\nCOPY t (a) FROM stdin;\n1\n2\n\\.\n\nabout");

    EXPECT_EQ(send_key(edit(), '3'), 0);
    EXPECT_TRUE(pump_until([&] { return text_view() == L"about"; }));
    EXPECT_EQ(send_key(edit(), '1'), 0);
    EXPECT_TRUE(pump_until([&] { return grid_shown(); }));
    EXPECT_EQ(GetFocus(), grid());
}

TEST_F(KeysToHost, DigitsSwitchTabsWithCtrlOrShiftHeld) {
    press_key(grid(), '2', true, false);
    ASSERT_TRUE(text_shown());
    EXPECT_EQ(text_view(), L"select 1;\n");
    press_key(edit(), '3', false, true);
    EXPECT_EQ(text_view(), L"about");
    press_key(edit(), '1', true, true);
    EXPECT_TRUE(grid_shown());
}

TEST_F(KeysToHost, KeypadDigitsAndOtherDigitsLeaveTheTabAlone) {
    for (UINT key : {UINT(VK_NUMPAD2), UINT(VK_NUMPAD4), UINT('5'), UINT('0')}) {
        press_key(grid(), key);
        EXPECT_TRUE(grid_shown()) << "key " << key;
    }
    ASSERT_TRUE(show_tab(2));
    press_key(edit(), VK_NUMPAD1);
    EXPECT_TRUE(text_shown());
    EXPECT_EQ(text_view(), L"select 1;\n");
}
