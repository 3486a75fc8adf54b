// The clipboard as another program reads it after clip_set_utf8 and copy_grid_selection.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/mem.h"
#include "lister_host.h"
#include "plugin/clipboard.h"
#include "temp_dump.h"

// The window the texts are put on the clipboard for, as the viewer's grid and text view are.
static HWND owner() {
    static HWND window = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                         nullptr, GetModuleHandleW(nullptr), nullptr);
    return window;
}

// A text that only the test puts there, so that a clipboard left alone is recognised.
static void put_former_text() {
    clip_set_utf8(owner(), "former", -1);
    ASSERT_EQ(clipboard_text(), L"former");
}

TEST(ClipSetUtf8, TheWindowTheTextIsCopiedForOwnsTheClipboard) {
    set_clipboard_text(L"someone else's");
    clip_set_utf8(owner(), "mine", -1);
    EXPECT_EQ(clipboard_text(), L"mine");
    EXPECT_EQ(GetClipboardOwner(), owner());
}

TEST(ClipSetUtf8, NonAsciiArrivesAsTheSameCharacters) {
    clip_set_utf8(owner(),
                  "Gr\xC3\xBC\xC3\x9F"
                  "e \xE6\x97\xA5\xE6\x9C\xAC",
                  -1);
    EXPECT_EQ(clipboard_text(), L"Gr\u00fc\u00dfe \u65e5\u672c");
}

TEST(ClipSetUtf8, ACharacterBeyondTheBasicPlaneArrivesAsASurrogatePair) {
    clip_set_utf8(owner(), "caf\xC3\xA9 \xF0\x9F\x98\x80!", -1);
    EXPECT_EQ(clipboard_text(),
              std::wstring(L"caf\u00e9 ") + wchar_t(0xD83D) + wchar_t(0xDE00) + L"!");
}

TEST(ClipSetUtf8, APositiveLengthCopiesOnlyThatPrefix) {
    clip_set_utf8(owner(), "tab text\tmore", 8);
    EXPECT_EQ(clipboard_text(), L"tab text");
    clip_set_utf8(owner(), "\xC3\xA4\xC3\xB6\xC3\xBC", 4);
    EXPECT_EQ(clipboard_text(), L"\u00e4\u00f6");
}

TEST(ClipSetUtf8, AnEmptyTextLeavesAnEmptyUnicodeText) {
    put_former_text();
    clip_set_utf8(owner(), "not copied", 0);
    EXPECT_EQ(clipboard_text(), L"");
    put_former_text();
    clip_set_utf8(owner(), "", -1);
    EXPECT_EQ(clipboard_text(), L"");
}

class CopyGridSelection : public ::testing::Test {
  protected:
    void TearDown() override { mem_fail_after(-1); }
};

TEST_F(CopyGridSelection, PutsTheSelectionTextWithNonAsciiCellsConverted) {
    LoadedViewer d(data_dump("name, city", "Jos\xC3\xA9\tK\xC3\xB8"
                                           "benhavn\n\\N\t\xE6\x9D\xB1\xE4\xBA\xAC\\tx\n"));
    ASSERT_EQ(d.loaded, 1);
    d.v.grid = owner();
    d.v.cur_row = 1;
    d.v.cur_col = 1;
    copy_grid_selection(&d.v);
    EXPECT_EQ(GetClipboardOwner(), owner()) << "the grid owns what it copied";
    EXPECT_EQ(clipboard_text(), L"Jos\u00e9\tK\u00f8benhavn\r\n\t\u6771\u4eac x\r\n");
}

TEST_F(CopyGridSelection, ATextThatCannotBeBuiltLeavesTheClipboardAsItWas) {
    LoadedViewer d(data_dump("a", "1\n"));
    ASSERT_EQ(d.loaded, 1);
    put_former_text();
    mem_fail_after(0);
    copy_grid_selection(&d.v);
    EXPECT_EQ(clipboard_text(), L"former");
}

TEST_F(CopyGridSelection, AGridWithoutRowsLeavesTheClipboardAsItWas) {
    LoadedViewer d(data_dump("a, b", ""));
    ASSERT_EQ(d.loaded, 1);
    put_former_text();
    copy_grid_selection(&d.v);
    EXPECT_EQ(clipboard_text(), L"former");
}
