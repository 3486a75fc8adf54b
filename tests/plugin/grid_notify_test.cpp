// The viewer window's answers to the grid's notifications: cell texts and custom-drawn colours.
#include "viewer_fixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

class GridNotify : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_NE(open(data_dump("a, b, c", "1\tpencil\t\\N\n2\tink\tz\n3\t\t\n4\tpad\tq\n")),
                  nullptr);
    }
    DrawAnswer draw_cell(int row, int column, UINT state = 0) {
        return ask_custom_draw(viewer, grid(), CDDS_ITEMPREPAINT | CDDS_SUBITEM, row, column,
                               state);
    }
};

} // namespace

TEST_F(GridNotify, ACellTextIsWrittenIntoTheRequestsBuffer) {
    DispInfoAnswer answer = ask_dispinfo(viewer, grid(), 0, 1, 64);
    EXPECT_EQ(answer.result, 0);
    EXPECT_EQ(answer.text, "pencil");
    EXPECT_EQ(ask_dispinfo(viewer, grid(), 0, 2, 64).text, "null");
    EXPECT_EQ(ask_dispinfo(viewer, grid(), 2, 1, 64).text, "");
}

TEST_F(GridNotify, ACellTextIsCutToTheRoomOfTheRequest) {
    EXPECT_EQ(ask_dispinfo(viewer, grid(), 0, 1, 4).text, "pen");
    EXPECT_EQ(ask_dispinfo(viewer, grid(), 0, 2, 3).text, "nu");
    EXPECT_EQ(ask_dispinfo(viewer, grid(), 0, 1, 1).text, "");
}

TEST_F(GridNotify, ARowOutsideTheDocumentGetsAnEmptyText) {
    EXPECT_EQ(ask_dispinfo(viewer, grid(), 4, 0, 16).text, "");
    EXPECT_EQ(ask_dispinfo(viewer, grid(), 1000, 0, 16).text, "");
    EXPECT_EQ(ask_dispinfo(viewer, grid(), -1, 0, 16).text, "");
}

TEST_F(GridNotify, ARequestWithoutTextLeavesTheBufferAlone) {
    DispInfoAnswer answer = ask_dispinfo(viewer, grid(), 0, 1, 8, LVIF_IMAGE | LVIF_STATE);
    EXPECT_EQ(answer.result, 0);
    EXPECT_EQ(answer.text, "########");
}

TEST_F(GridNotify, NotificationsFromAnotherWindowAreNotAnswered) {
    EXPECT_EQ(ask_dispinfo(viewer, edit(), 0, 1, 8).text, "########");
    DrawAnswer prepaint = ask_custom_draw(viewer, edit(), CDDS_PREPAINT, 0, 0);
    EXPECT_EQ(prepaint.result, 0);
    DrawAnswer cell = ask_custom_draw(viewer, lister.hwnd, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0, 0);
    EXPECT_EQ(cell.result, 0);
    EXPECT_EQ(cell.back, 0x123456u);
    EXPECT_EQ(cell.text, 0x123456u);
}

TEST_F(GridNotify, CustomDrawAsksForItemsThenSubItemsThenSetsColours) {
    EXPECT_EQ(ask_custom_draw(viewer, grid(), CDDS_PREPAINT, 0, 0).result, CDRF_NOTIFYITEMDRAW);
    EXPECT_EQ(ask_custom_draw(viewer, grid(), CDDS_ITEMPREPAINT, 0, 0).result,
              CDRF_NOTIFYSUBITEMDRAW);
    EXPECT_EQ(draw_cell(0, 0).result, CDRF_NEWFONT);
    for (DWORD stage : {DWORD(CDDS_POSTPAINT), DWORD(CDDS_PREERASE), DWORD(CDDS_ITEMPOSTPAINT),
                        DWORD(CDDS_ITEMPOSTPAINT | CDDS_SUBITEM)})
        EXPECT_EQ(ask_custom_draw(viewer, grid(), stage, 0, 0).result, 0) << "stage " << stage;
}

TEST_F(GridNotify, TheControlsOwnSelectionAndFocusAreNeverDrawn) {
    const UINT own = CDIS_SELECTED | CDIS_FOCUS | CDIS_HOT;
    EXPECT_EQ(ask_custom_draw(viewer, grid(), CDDS_ITEMPREPAINT, 1, 0, own).item_state,
              UINT(CDIS_HOT));
    EXPECT_EQ(draw_cell(1, 2, own).item_state, UINT(CDIS_HOT));
}

TEST_F(GridNotify, CellsAreColouredByCursorSelectionAndRowParity) {
    ASSERT_EQ(GetFocus(), grid());
    press_key(grid(), VK_DOWN, false, true);
    press_key(grid(), VK_RIGHT, false, true);
    DrawAnswer cursor = draw_cell(1, 1);
    EXPECT_EQ(cursor.back, kCursorFocused);
    EXPECT_EQ(cursor.text, 0xFFFFFFu);
    DrawAnswer selected = draw_cell(0, 0);
    EXPECT_EQ(selected.back, kSelectedFocused);
    EXPECT_EQ(selected.text, 0u);
    EXPECT_EQ(draw_cell(1, 0).back, kSelectedFocused);
    EXPECT_EQ(draw_cell(1, 2).back, kOddRow);
    EXPECT_EQ(draw_cell(2, 0).back, kEvenRow);
    DrawAnswer odd = draw_cell(3, 2);
    EXPECT_EQ(odd.back, kOddRow);
    EXPECT_EQ(odd.text, 0u);
}

TEST_F(GridNotify, FocusLeavingAndReturningRepaintsTheCursorInItsShade) {
    press_key(grid(), VK_DOWN, false, true);
    RECT client, dirty;
    GetClientRect(grid(), &client);

    ValidateRect(grid(), nullptr);
    SetFocus(lister.hwnd);
    ASSERT_TRUE(GetUpdateRect(grid(), &dirty, FALSE)) << "the grid was not repainted";
    EXPECT_TRUE(EqualRect(&dirty, &client));
    EXPECT_EQ(background(1, 0), kCursorUnfocused);
    EXPECT_EQ(background(0, 0), kSelectedUnfocused);
    EXPECT_EQ(background(2, 1), kEvenRow);

    ValidateRect(grid(), nullptr);
    SetFocus(grid());
    ASSERT_TRUE(GetUpdateRect(grid(), &dirty, FALSE)) << "the grid was not repainted";
    EXPECT_TRUE(EqualRect(&dirty, &client));
    EXPECT_EQ(background(1, 0), kCursorFocused);
    EXPECT_EQ(background(0, 0), kSelectedFocused);
}

namespace {

// What the viewer window answered while the real control painted: notification codes seen, and
// the texts and sub-item colours handed back.
struct PaintLog {
    WNDPROC viewer_proc = nullptr;
    std::vector<UINT> codes;
    std::vector<std::wstring> texts;
    int coloured_cells = 0;
};
PaintLog paint_log;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = CallWindowProcA(paint_log.viewer_proc, window, message, wparam, lparam);
    if (message != WM_NOTIFY) return result;
    const NMHDR *header = reinterpret_cast<const NMHDR *>(lparam);
    paint_log.codes.push_back(header->code);
    if (header->code == LVN_GETDISPINFOW) {
        const LVITEMW &item = reinterpret_cast<const NMLVDISPINFOW *>(header)->item;
        if (item.mask & LVIF_TEXT) paint_log.texts.push_back(item.pszText);
    } else if (header->code == NM_CUSTOMDRAW) {
        const auto *draw = reinterpret_cast<const NMLVCUSTOMDRAW *>(header);
        if (draw->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM) && result == CDRF_NEWFONT)
            ++paint_log.coloured_cells;
    }
    return result;
}

bool seen(UINT code) {
    return std::find(paint_log.codes.begin(), paint_log.codes.end(), code) != paint_log.codes.end();
}

} // namespace

TEST_F(GridNotify, TheControlPaintsItsCellsFromTheUnicodeAnswers) {
    paint_log = PaintLog{};
    paint_log.viewer_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(viewer, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
    InvalidateRect(grid(), nullptr, TRUE);
    UpdateWindow(grid());
    SetWindowLongPtrA(viewer, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(paint_log.viewer_proc));

    EXPECT_TRUE(seen(LVN_GETDISPINFOW));
    EXPECT_FALSE(seen(LVN_GETDISPINFOA)) << "the grid asks in 8 bits, losing every character "
                                            "outside the system's code page";
    for (const wchar_t *shown : {L"pencil", L"null", L"ink", L"pad"})
        EXPECT_NE(std::find(paint_log.texts.begin(), paint_log.texts.end(), shown),
                  paint_log.texts.end())
            << utf8_of(shown);
    EXPECT_GE(paint_log.coloured_cells, 12) << "every visible cell gets its colours";
}

namespace {

// Names and values in several scripts, one outside the Basic Multilingual Plane, read back under
// the system's 8-bit code page: they must come through the Unicode grid as written.
class UnicodeGrid : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_NE(open(data_dump("\"Имя\", Όνομα, 名前, café, \"\xF0\x9F\x99\x82\"",
                                 "Кабель USB-C 2 м\tΕλαιόλαδο 1L\t日本語\tCafé crème\t"
                                 "\xF0\x9F\x8E\x82 x\xF0\x9F\x8E\x82\n"
                                 "bad \xFF\xC3 end\t\\N\t\t\t\n")),
                  nullptr);
    }
};

} // namespace

TEST_F(UnicodeGrid, TitlesAndCellsReadAsWrittenWhateverTheCodePage) {
    EXPECT_NE(GetACP(), static_cast<UINT>(CP_UTF8)) << "an 8-bit code page tells more";
    const std::wstring titles[] = {L"\"Имя\"", L"Όνομα", L"名前", L"café", L"\"\U0001F642\""};
    for (int c = 0; c < 5; ++c) EXPECT_EQ(column_text_w(grid(), c), titles[c]) << "column " << c;
    const std::wstring cells[] = {L"Кабель USB-C 2 м", L"Ελαιόλαδο 1L", L"日本語", L"Café crème",
                                  L"\U0001F382 x\U0001F382"};
    for (int c = 0; c < 5; ++c) EXPECT_EQ(item_text_w(grid(), 0, c), cells[c]) << "column " << c;
    EXPECT_EQ(item_text_w(grid(), 1, 0), L"bad \uFFFD\uFFFD end") << "ill-formed bytes";
    EXPECT_EQ(item_text_w(grid(), 1, 1), L"null");
}

TEST_F(UnicodeGrid, ACellLongerThanTheRoomIsCutBeforeTheCharacterThatDoesNotFit) {
    EXPECT_EQ(ask_dispinfo_w(viewer, grid(), 0, 4, 3), L"\U0001F382") << "a pair fits whole";
    EXPECT_EQ(ask_dispinfo_w(viewer, grid(), 0, 4, 6), L"\U0001F382 x") << "not half a pair";
    EXPECT_EQ(ask_dispinfo_w(viewer, grid(), 0, 0, 4), L"Каб") << "no replacement from a cut";
    EXPECT_EQ(ask_dispinfo_w(viewer, grid(), 0, 1, 1), L"");
}

TEST_F(UnicodeGrid, AnEightBitRequestStillGetsTheBytesAsTheyAre) {
    EXPECT_EQ(ask_dispinfo(viewer, grid(), 0, 2, 64).text, "日本語");
    EXPECT_EQ(ask_dispinfo(viewer, grid(), 0, 1, 6).text, "\xCE\x95\xCE\xBB\xCE");
}

TEST_F(UnicodeGrid, AutosizingMeasuresTheTextsAsDrawn) {
    // Three ideographs are far wider than the six bytes they take as UTF-8 would suggest to an
    // 8-bit measure, which would draw them cut with an ellipsis.
    int drawn = static_cast<int>(
        SendMessageW(grid(), LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(L"日本語")));
    EXPECT_GE(column_width(grid(), 2), drawn);
    drawn = static_cast<int>(SendMessageW(grid(), LVM_GETSTRINGWIDTHW, 0,
                                          reinterpret_cast<LPARAM>(L"Кабель USB-C 2 м")));
    EXPECT_GE(column_width(grid(), 0), drawn);
}
