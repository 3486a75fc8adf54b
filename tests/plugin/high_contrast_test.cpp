// The viewer in a high-contrast theme: the grid, the bars and the text views in the system's
// colours, read as the custom draw gives them and as painted, and a change of the theme's colours
// shown at the next paint though no message announces it to the viewer. Wine refuses to turn the
// system's setting on, so the module's own seam decides it here.
#include "viewer_fixture.h"

#include <map>
#include <string>
#include <vector>

namespace {

typedef void(__stdcall *DecideFn)(int);

// A theme whose colours each name one part.
const int kParts[] = {COLOR_WINDOW,        COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,
                      COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE,    COLOR_BTNTEXT};
const COLORREF kTheme[] = {RGB(0, 0, 0),  RGB(255, 255, 255), RGB(26, 235, 255),
                           RGB(0, 0, 80), RGB(40, 40, 40),    RGB(255, 255, 0)};
const COLORREF kWindow = kTheme[0], kWindowText = kTheme[1], kHighlight = kTheme[2],
               kHighlightText = kTheme[3], kFace = kTheme[4], kFaceText = kTheme[5];

// A window's client area as painted, read back from the screen.
struct Painted {
    int w = 0, h = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y * w + x)]; }
    // The commonest colour of the pixels in r: a background, whatever text lies on it.
    COLORREF most_in(RECT r) const {
        std::map<COLORREF, int> seen;
        for (int y = std::max(0L, r.top); y < std::min<long>(h, r.bottom); ++y)
            for (int x = std::max(0L, r.left); x < std::min<long>(w, r.right); ++x)
                ++seen[at(x, y)];
        COLORREF most = 0x01020304;
        int count = 0;
        for (auto [colour, n] : seen)
            if (n > count) most = colour, count = n;
        return most;
    }
};

Painted painted(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Painted p;
    RECT client;
    GetClientRect(window, &client);
    p.w = client.right;
    p.h = client.bottom;
    HDC window_dc = GetDC(window);
    HDC copy_dc = CreateCompatibleDC(window_dc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = p.w;
    info.bmiHeader.biHeight = -p.h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP copy = CreateDIBSection(window_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(copy_dc, copy);
    BitBlt(copy_dc, 0, 0, p.w, p.h, window_dc, 0, 0, SRCCOPY);
    GdiFlush();
    for (int i = 0; bits && i < p.w * p.h; ++i) {
        const auto *bgra = static_cast<const uint8_t *>(bits) + i * 4;
        p.pixels.push_back(RGB(bgra[2], bgra[1], bgra[0]));
    }
    SelectObject(copy_dc, old);
    DeleteObject(copy);
    DeleteDC(copy_dc);
    ReleaseDC(window, window_dc);
    return p;
}

class HighContrast : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        decide = reinterpret_cast<DecideFn>(
            reinterpret_cast<void *>(GetProcAddress(module.dll, "TavrinInternalHighContrast")));
        ASSERT_NE(decide, nullptr);
        // 4 rows of 3 columns; the cursor at (1, 1), the selection (1, 1) to (1, 2).
        ASSERT_NE(open(data_dump("a, b, c", "1\tpen\tx\n2\tink\ty\n3\tpad\tz\n4\tnib\tw\n")),
                  nullptr);
        press_key(grid(), VK_DOWN);
        press_key(grid(), VK_END);
        press_key(grid(), VK_LEFT, false, true);
        ASSERT_EQ(cells(4, 3), "...|.CS|...|...");
        for (int part : kParts) saved.push_back(GetSysColor(part));
        SetSysColors(6, kParts, kTheme);
        decide(1);
    }
    void TearDown() override {
        if (decide) decide(-1);
        if (!saved.empty()) SetSysColors(6, kParts, saved.data());
        ViewerTest::TearDown();
    }
    std::pair<COLORREF, COLORREF> drawn(int row, int column) {
        ask_custom_draw(viewer, grid(), CDDS_PREPAINT, 0, 0); // a paint begins
        DrawAnswer a =
            ask_custom_draw(viewer, grid(), CDDS_ITEMPREPAINT | CDDS_SUBITEM, row, column);
        return {a.back, a.text};
    }
    // The rectangle of a bar's rule, or any part, inset so that no edge pixel is read.
    static RECT inside(RECT r, int by) {
        return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by};
    }

    DecideFn decide = nullptr;
    std::vector<COLORREF> saved;
};

} // namespace

TEST_F(HighContrast, TheGridsCellsTakeTheThemesColoursWithoutStripes) {
    const auto highlighted = std::make_pair(kHighlight, kHighlightText);
    const auto face = std::make_pair(kFace, kFaceText);
    EXPECT_EQ(drawn(1, 1), highlighted) << "the cursor";
    EXPECT_EQ(drawn(1, 2), highlighted) << "the rest of the selection";
    for (int row : {0, 1, 2, 3})
        EXPECT_EQ(drawn(row, 0), std::make_pair(kWindow, kWindowText)) << "row " << row;
    SetFocus(lister.hwnd);
    EXPECT_EQ(drawn(1, 1), face) << "the cursor, the grid without the keyboard";
    EXPECT_EQ(drawn(1, 2), face);
    EXPECT_EQ(drawn(3, 2), std::make_pair(kWindow, kWindowText));
    // Back to the viewer's own palette: the theme's colours no longer reach the grid.
    decide(0);
    SetFocus(grid());
    EXPECT_EQ(drawn(1, 1).first, kCursorFocused);
    EXPECT_EQ(drawn(1, 2).first, kSelectedFocused);
    EXPECT_EQ(drawn(3, 0).first, kOddRow);
}

TEST_F(HighContrast, TheCursorIsFramedAndStaysVisibleInsideTheSelection) {
    const Painted grid_pixels = painted(grid());
    const RECT cursor = cell_rect(grid(), 1, 1), selected = cell_rect(grid(), 1, 2);
    const int mid = (cursor.top + cursor.bottom) / 2;
    // One pixel inside the cell's edge: the frame in the cursor, the background beside it.
    EXPECT_EQ(grid_pixels.at(cursor.left + 1, mid), kHighlightText);
    EXPECT_EQ(grid_pixels.at(selected.left + 1, mid), kHighlight);
    EXPECT_EQ(grid_pixels.most_in(inside(cursor, 3)), kHighlight);
    EXPECT_EQ(grid_pixels.most_in(inside(cell_rect(grid(), 2, 2), 2)), kWindow);
}

TEST_F(HighContrast, ATextViewsSelectionIsTheThemesWithTheKeyboardAndWithout) {
    ASSERT_EQ(load_next(magic() + section("SQL", "select name, price from items;\n")), 0);
    ASSERT_TRUE(text_shown());
    SendMessageW(edit(), EM_SETSEL, 0, -1);
    RECT client;
    GetClientRect(edit(), &client);
    const RECT first_line = {8, 2, 60, 10};
    Painted p = painted(edit());
    EXPECT_EQ(p.most_in(first_line), kHighlight);
    EXPECT_EQ(
        p.most_in(RECT{client.right - 40, client.bottom - 30, client.right - 2, client.bottom - 2}),
        kWindow)
        << "below the text";
    SetFocus(lister.hwnd);
    EXPECT_EQ(painted(edit()).most_in(first_line), kFace);
}

TEST_F(HighContrast, AChangeOfTheThemesColoursShowsAtTheNextPaintWithoutAnyMessage) {
    const RECT bar = {200, 2, 400, 20}, below_rows = {20, 300, 300, 400};
    EXPECT_EQ(painted(viewer).most_in(bar), kFace);
    EXPECT_EQ(painted(grid()).most_in(below_rows), kWindow);
    // SetSysColors tells top-level windows only; the host passes nothing on to the viewer.
    const COLORREF face = RGB(90, 0, 90), window = RGB(0, 60, 0);
    const int parts[] = {COLOR_BTNFACE, COLOR_WINDOW};
    const COLORREF now[] = {face, window};
    SetSysColors(2, parts, now);
    EXPECT_EQ(painted(viewer).most_in(bar), face);
    const Painted grid_pixels = painted(grid());
    EXPECT_EQ(grid_pixels.most_in(inside(cell_rect(grid(), 2, 2), 2)), window);
    EXPECT_EQ(grid_pixels.most_in(below_rows), window) << "the grid's own background";
    ASSERT_TRUE(show_tab(2));
    EXPECT_EQ(painted(edit()).most_in(below_rows), window);
}

TEST_F(HighContrast, TheBarsRuleAndTextAreTheThemesAndTheViewersOwnWithout) {
    RECT client;
    GetClientRect(viewer, &client);
    const RECT rule = {0, 29, client.right, 30};
    EXPECT_EQ(painted(viewer).most_in(rule), kFaceText);
    press_key(grid(), 'F', true);
    auto bars = children_of_class(viewer, "TavrinFindBar");
    ASSERT_EQ(bars.size(), 1u);
    RECT strip;
    GetClientRect(bars[0], &strip);
    const Painted find_bar = painted(bars[0]);
    EXPECT_EQ(find_bar.most_in(RECT{0, 0, strip.right, 1}), kFaceText) << "its rule";
    EXPECT_EQ(find_bar.most_in(RECT{0, 2, 40, strip.bottom}), kFace) << "around its label";
    decide(0);
    EXPECT_EQ(painted(viewer).most_in(rule), RGB(128, 128, 128));
}
