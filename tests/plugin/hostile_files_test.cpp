// Hostile and odd files opened through the module as the file manager opens them: a viewer opens
// exactly when the loader takes the file, and its bar, grid, text tabs and copy show what the
// loader read, ill-formed text included, without harm to the host.
#include "viewer_fixture.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "document/tab_text.h"
#include "grid/cells.h"
#include "grid/cursor.h"
#include "grid/selection_text.h"
#include "hostile_files.h"
#include "base/utf8.h"

namespace {

// Decodes UTF-8 strictly: no overlong form, no surrogate, nothing past U+10FFFF. A byte that
// starts no well-formed sequence gives one U+FFFD and decoding goes on at the next byte.
std::wstring decode_utf8(const std::string &text, bool *well_formed) {
    static const uint32_t least[5] = {0, 0, 0x80, 0x800, 0x10000};
    std::wstring out;
    *well_formed = true;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t n = lead < 0x80                    ? 1
                   : lead >= 0xC2 && lead <= 0xDF ? 2
                   : lead >= 0xE0 && lead <= 0xEF ? 3
                   : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                  : 0;
        uint32_t cp = n == 1 ? lead : n == 2 ? lead & 0x1Fu : n == 3 ? lead & 0x0Fu : lead & 0x07u;
        bool good = n > 0 && i + n <= text.size();
        for (size_t k = 1; good && k < n; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            good = (next & 0xC0) == 0x80;
            cp = cp << 6 | (next & 0x3Fu);
        }
        good = good && cp >= least[n] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
        if (!good) {
            out += static_cast<wchar_t>(0xFFFD);
            *well_formed = false;
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(cp);
        }
        i += n;
    }
    return out;
}

// How many U+FFFD a stretch of ill-formed bytes becomes is the converter's choice (Windows and
// Wine differ), so a run of them counts as one.
std::wstring one_replacement_per_run(const std::wstring &text) {
    std::wstring out;
    for (wchar_t c : text)
        if (!(c == 0xFFFD && !out.empty() && out.back() == 0xFFFD)) out += c;
    return out;
}

// A Unicode text the viewer shows for the UTF-8 text `utf8`: exactly its characters when it is
// well-formed; otherwise every well-formed character in order, each ill-formed stretch in between
// shown as replacement characters, and nothing else.
void expect_shows(const std::wstring &shown, const std::string &utf8, const std::string &where) {
    bool well_formed = false;
    const std::wstring want = decode_utf8(utf8, &well_formed);
    if (well_formed) {
        EXPECT_TRUE(shown == want)
            << where << ": " << shown.size() << " characters shown, " << want.size() << " expected";
    } else {
        EXPECT_TRUE(one_replacement_per_run(shown) == one_replacement_per_run(want))
            << where << " does not show its text with the ill-formed stretches replaced";
    }
}

size_t count_of(const std::wstring &text, const std::wstring &part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Where the status starts in the header bar: after the bar's left margin and the tab labels that
// precede it, measured in the bar's font (the grid's).
int status_left(HWND viewer, HWND grid, int tab) {
    char prefix[BAR_TEXT_LEN];
    format_bar_text(prefix, sizeof prefix, tab, "");
    bool well_formed = false;
    const std::wstring wide = decode_utf8(prefix, &well_formed);
    HDC dc = GetDC(viewer);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(grid, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(viewer, dc);
    return 6 + size.cx;
}

// Near-black pixels in the header bar from `left` on, after the viewer has painted it: the bar's
// text is drawn dark on the button face. Read back from the window, as the bar's text is drawn and
// kept nowhere.
int bar_text_pixels(HWND viewer, int left) {
    RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client;
    GetClientRect(viewer, &client);
    const int w = client.right, h = 29; // the bar without its bottom line
    HDC window_dc = GetDC(viewer);
    HDC copy_dc = CreateCompatibleDC(window_dc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP copy = CreateDIBSection(window_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(copy_dc, copy);
    BitBlt(copy_dc, 0, 0, w, h, window_dc, 0, 0, SRCCOPY);
    GdiFlush();
    int dark = 0;
    for (int y = 0; bits && y < h; ++y) {
        for (int x = std::max(left, 0); x < w; ++x) {
            const auto *pixel = static_cast<const uint8_t *>(bits) + (y * w + x) * 4;
            if (pixel[0] < 100 && pixel[1] < 100 && pixel[2] < 100) ++dark;
        }
    }
    SelectObject(copy_dc, old);
    DeleteObject(copy);
    DeleteDC(copy_dc);
    ReleaseDC(viewer, window_dc);
    return dark;
}

// Whether the bar shows the status after the labels of the current tab.
bool bar_shows_status(HWND viewer, HWND grid, int tab) {
    return bar_text_pixels(viewer, status_left(viewer, grid, tab)) > 0;
}

// The same file loaded in this process by the portable loader: what each reader gives is what
// the viewer must show.
struct NativeDocument : LoadedViewer {
    explicit NativeDocument(const std::string &bytes) : LoadedViewer(bytes) {}
    // A cell as the Unicode grid gets it, in the probe's room of 512 units.
    std::wstring cell(int row, int col) {
        uint16_t room[512];
        cell_text_utf16(&v, row, col, room, 512);
        return std::wstring(room, room + std::char_traits<char16_t>::length(
                                             reinterpret_cast<const char16_t *>(room)));
    }
    std::string select_all_text() {
        grid_apply_key(&v, KEY_A, 1, 0, 0);
        StrBuf text;
        if (!selection_text(&v, &text)) return "";
        std::string out(text.data, text.len);
        sb_drop(&text);
        return out;
    }
};

class HostileFileInViewer : public ViewerTest, public ::testing::WithParamInterface<HostileCase> {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        file = GetParam().make();
    }
    HostileFile file;
};

// The files that open, read through the viewer's windows.
class HostileDocumentInViewer : public HostileFileInViewer {
  protected:
    void SetUp() override {
        HostileFileInViewer::SetUp();
        ASSERT_TRUE(file.loads);
    }
};

std::string case_name(const ::testing::TestParamInfo<HostileCase> &info) {
    return info.param.name;
}

} // namespace

TEST_P(HostileFileInViewer, OpensExactlyWhenTheLoaderTakesItAndClosesCleanly) {
    HWND opened = open(file.bytes);
    if (!file.loads) {
        EXPECT_EQ(opened, nullptr);
        EXPECT_EQ(GetWindow(lister.hwnd, GW_CHILD), nullptr) << "a refused file left a window";
        return;
    }
    ASSERT_NE(opened, nullptr);
    // A file without columns opens on its SQL, any other on the grid.
    EXPECT_TRUE(file.col_count > 0 ? grid_shown() : text_shown());
    EXPECT_GT(bar_text_pixels(viewer, 0), 0) << "the bar shows no text";
    // A file that opens on its SQL makes its grid on the first visit of the Data tab. (The status
    // is found by the grid's font, the bar's.)
    if (file.col_count == 0) {
        EXPECT_EQ(grid(), nullptr) << "a grid made for a first screen that does not show it";
        ASSERT_TRUE(show_tab(1));
    }
    EXPECT_TRUE(bar_shows_status(viewer, grid(), TAB_DATA)) << "the bar shows no status";

    EXPECT_EQ(item_count(grid()), static_cast<int>(file.rows.size()));
    ASSERT_EQ(column_count(grid()), std::max(file.col_count, 1));
    if (file.col_count == 0) EXPECT_EQ(column_text(grid(), 0), "(no columns)");
    for (int c = 0; c < file.col_count; ++c) {
        const std::optional<std::string> &name = file.col_names[static_cast<size_t>(c)];
        // The probe reads a heading into 1024 units.
        const std::string title = name ? *name : "col";
        uint16_t want[1024];
        utf8_to_utf16(title.data(), title.size(), want, 1024, nullptr);
        EXPECT_TRUE(column_text_w(grid(), c) ==
                    std::wstring(want, want + std::char_traits<char16_t>::length(
                                                  reinterpret_cast<const char16_t *>(want))))
            << "column " << c;
        if (HasFailure()) break;
    }

    HWND children[] = {grid(), edit()};
    module.ListCloseWindow(viewer);
    EXPECT_FALSE(IsWindow(viewer));
    EXPECT_FALSE(IsWindow(children[0]));
    EXPECT_FALSE(IsWindow(children[1]));
    viewer = nullptr;
}

TEST_P(HostileDocumentInViewer, GridShowsEveryVisibleCellAndCopiesEveryRow) {
    NativeDocument native(file.bytes);
    ASSERT_EQ(native.loaded, 1);
    ASSERT_NE(open(file.bytes), nullptr);
    ASSERT_TRUE(show_tab(1));
    // The first screen, then the last (Ctrl+End), where the file's last row is.
    for (int screen = 0; screen < 2; ++screen) {
        if (screen == 1) press_key(grid(), VK_END, true);
        UpdateWindow(grid());
        const int top = static_cast<int>(SendMessageA(grid(), LVM_GETTOPINDEX, 0, 0));
        const int page = static_cast<int>(SendMessageA(grid(), LVM_GETCOUNTPERPAGE, 0, 0));
        const int last = std::min(top + page + 1, native.v.row_count);
        if (native.v.row_count > 0) ASSERT_GT(last, top) << "no row of the grid is visible";
        if (screen == 1) ASSERT_EQ(last, native.v.row_count) << "the last row is not in view";
        const int columns = column_count(grid());
        for (int r = top; r < last; ++r)
            for (int c = 0; c < columns; ++c)
                ASSERT_TRUE(item_text_w(grid(), r, c) == native.cell(r, c))
                    << "row " << r << ", column " << c;
    }

    set_clipboard_text(L"former");
    press_key(grid(), 'A', true);
    press_key(grid(), 'C', true);
    const std::wstring copied = clipboard_text();
    if (native.v.row_count == 0 || native.v.col_count == 0) {
        EXPECT_EQ(copied, L"former") << "nothing to copy";
        return;
    }
    EXPECT_EQ(count_of(copied, L"\r\n"), file.rows.size());
    expect_shows(copied, native.select_all_text(), "the clipboard");
}

TEST_P(HostileDocumentInViewer, TextTabsShowWhatTheLoaderRead) {
    NativeDocument native(file.bytes);
    ASSERT_EQ(native.loaded, 1);
    ASSERT_NE(open(file.bytes), nullptr);
    for (int tab : {TAB_SQL, TAB_INFO, TAB_FULLSQL}) {
        ASSERT_TRUE(show_tab(tab)) << "tab " << tab;
        const std::wstring shown = text_view();
        expect_shows(shown, tab_string(&native.v, tab), "tab " + std::to_string(tab));
        EXPECT_TRUE(bar_shows_status(viewer, grid(), tab)) << "no status in the bar on tab " << tab;
        // Every move over the text, painted after each, then the whole text selected backwards.
        for (UINT key : {VK_END, VK_NEXT, VK_DOWN, VK_RIGHT, VK_PRIOR, VK_LEFT, VK_UP, VK_HOME}) {
            press_key(edit(), key, true);
            press_key(edit(), key);
            UpdateWindow(edit());
        }
        press_key(edit(), VK_END, true);
        press_key(edit(), VK_HOME, true, true);
        set_clipboard_text(L"former");
        press_key(edit(), 'C', true);
        EXPECT_TRUE(clipboard_text() == shown) << "tab " << tab << " copies what it shows";
    }
    ASSERT_TRUE(show_tab(TAB_DATA));
}

INSTANTIATE_TEST_SUITE_P(Files, HostileFileInViewer, ::testing::ValuesIn(hostile_cases()),
                         case_name);
INSTANTIATE_TEST_SUITE_P(Files, HostileDocumentInViewer,
                         ::testing::ValuesIn(loading_hostile_cases()), case_name);

namespace {

// Files of 2 GiB and more, made sparse from a small dump: the dump's 100 bytes, then zeros, whose
// first byte ends the text. They open at once, with the dump's one row, mapped and not read.
class HugeFileInViewer : public ViewerTest {
  protected:
    // ListLoad on the head extended to `size`; false when the file system cannot make the sparse
    // file. The file stays until the test ends, since the viewer reads it where it lies.
    bool open_extended(int64_t size) {
        file = std::make_unique<TempFile>(sparse_dump_head());
        if (!extend_sparse(file->path(), size)) return false;
        viewer = module.ListLoad(lister.hwnd, const_cast<char *>(file->path()), 0);
        pump_pending();
        return true;
    }
    std::unique_ptr<TempFile> file;
};

} // namespace

TEST_F(HugeFileInViewer, FilesOf2GiBAndMoreOpenWithTheRowsTheyHold) {
    for (int64_t size : {int64_t{TWO_GIB_AND_ONE}, int64_t{FOUR_GIB_AND_100}}) {
        if (!open_extended(size)) GTEST_SKIP() << "this file system cannot make a sparse file";
        ASSERT_NE(viewer, nullptr) << size << " bytes";
        EXPECT_TRUE(grid_shown());
        EXPECT_EQ(item_count(grid()), 1) << size << " bytes";
        EXPECT_EQ(item_text(grid(), 0, 0), std::string(60, 'x'));
        module.ListCloseWindow(viewer);
        viewer = nullptr;
        pump_pending();
    }
}
