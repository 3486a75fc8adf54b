// The text view: its record, the lines in view painted, the caret, scrolling, keys, the mouse, and
// the edit-control messages. Every decision about positions, columns and moves is the text model's;
// this file maps pixels to lines and columns and hands the rest to it.
#include "plugin/text_view.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "base/mem.h"
#include "base/utf8.h"
#include "document/tab_text.h"
#include "keys/key_commands.h"
#include "find/find_message.h"
#include "plugin/accessible.h"
#include "plugin/clipboard.h"
#include "plugin/copy_jobs.h"
#include "plugin/dpi.h"
#include "plugin/find_bar.h"
#include "plugin/fonts.h"
#include "plugin/high_contrast.h"
#include "plugin/key_state.h"
#include "plugin/long_job.h"
#include "plugin/module_frames.h"
#include "plugin/viewer_messages.h"
#include "text/caret.h"
#include "text/columns.h"
#include "text/line_cells.h"
#include "text/tab_doc.h"
#include "text/text_copy.h"
#include "text/text_pos.h"
#include "text/view_port.h"

namespace {

enum {
    MARGIN = 4,       // pixels at 96 DPI left of the first column, as an edit control leaves
    WIDE_LINE = 4096, // bytes up to which a line's width in columns is measured exactly
    LENGTH_UNKNOWN = -1,
    NAME_BYTES = 256,
};

// One per text view window, owned by it: made at WM_NCCREATE, freed at WM_NCDESTROY. `doc` reads
// the document's bytes and the line tables in `lines`, so text_view_forget empties it before the
// document goes. `columns` is null when its memory could not be had; columns are walked then.
struct TextView {
    TextDoc doc;
    TabLines lines;
    ColumnCache *columns;
    TextCaret caret;
    TextViewport port;
    int shows_section;   // 0 while `doc` shows a placeholder, which copies as nothing
    char *own_text;      // a text the view was given to own (text_view_show_text), or null; `doc`
    LineTable own_lines; // reads it then, with its line table here
    size_t widest;       // widest line seen in any tab of this document, in columns: the horizontal
                         // scroll range, kept across tabs so that a switch leaves that bar alone
    int cell_w, line_h;
    int wheel_rest[2]; // movement of each wheel (vertical, tilt) not yet scrolled, in WHEEL_DELTA
                       // parts of a line or column; one wheel's remainder never moves the other
    bool dragging, focused;
    long long utf16_len; // WM_GETTEXTLENGTH's answer, counted once per text (within the bound)
    int bars[2][3];      // max, page and position last given to each scroll bar
    int dpi;             // the scale cell_w, line_h and the margin were measured at
    int margin;
    // What assistive technology is told (plugin/accessible.h): the view's name (UTF-8), its
    // accessible object once asked for, the caret's line as last told (SIZE_MAX: the text changed
    // since) and where the caret was last placed.
    char name[NAME_BYTES];
    TextAccessible *accessible;
    size_t told_line;
    POINT caret_at;
};

// The record of a view; null for no window (a view not made yet, plugin/child_windows.h).
TextView *view_of(HWND window) {
    return window ? reinterpret_cast<TextView *>(GetWindowLongPtrW(window, GWLP_USERDATA))
                  : nullptr;
}

int clamp_int(size_t n) {
    return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n);
}

void measure_font(HWND window, TextView *tv) {
    tv->dpi = window_dpi(window);
    tv->margin = scaled_px(MARGIN, tv->dpi);
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, text_font(tv->dpi));
    TEXTMETRICW tm = {};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    tv->cell_w = tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 8;
    tv->line_h = tm.tmHeight + tm.tmExternalLeading > 0 ? tm.tmHeight + tm.tmExternalLeading : 16;
}

void fit_port(HWND window, TextView *tv) {
    RECT client;
    GetClientRect(window, &client);
    int w = client.right - tv->margin, h = client.bottom;
    tv->port.rows = h >= tv->line_h ? static_cast<size_t>(h / tv->line_h) : 1;
    tv->port.cols = w >= tv->cell_w ? static_cast<size_t>(w / tv->cell_w) : 1;
    viewport_clamp(&tv->port, text_line_count(&tv->doc), tv->widest);
}

// Gives a scroll bar its range, page and position when they differ from what it has: each call
// draws the bar at once, which under Wine costs more than painting every line in view.
void set_bar(HWND window, TextView *tv, int bar, size_t max, size_t page, size_t pos) {
    int want[3] = {clamp_int(max), clamp_int(page), clamp_int(pos)};
    int *had = tv->bars[bar == SB_VERT ? 0 : 1];
    if (had[0] == want[0] && had[1] == want[1] && had[2] == want[2]) return;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMax = want[0];
    si.nPage = static_cast<UINT>(want[1]);
    si.nPos = want[2];
    SetScrollInfo(window, bar, &si, TRUE);
    for (int i = 0; i < 3; ++i) had[i] = want[i];
}

void update_scroll_bars(HWND window, TextView *tv) {
    const TextViewport &p = tv->port;
    set_bar(window, tv, SB_VERT, text_line_count(&tv->doc) - 1, p.rows, p.top);
    set_bar(window, tv, SB_HORZ, tv->widest, p.cols, p.left);
}

// The caret follows the position while the view has the focus; out of view, out of sight. A
// magnifier follows it too, told where it went.
void place_caret(HWND window, TextView *tv) {
    if (!tv->focused) return;
    size_t line = text_line_of(&tv->doc, tv->caret.caret);
    size_t col = column_of(tv->columns, &tv->doc, line, tv->caret.caret);
    const TextViewport &p = tv->port;
    POINT at = {-4 * tv->cell_w, -4 * tv->line_h};
    if (line >= p.top && line < p.top + p.rows + 1 && col >= p.left && col <= p.left + p.cols)
        at = {tv->margin + static_cast<int>(col - p.left) * tv->cell_w,
              static_cast<int>(line - p.top) * tv->line_h};
    if (at.x == tv->caret_at.x && at.y == tv->caret_at.y) return;
    tv->caret_at = at;
    SetCaretPos(at.x, at.y);
    accessible_caret_moved(window);
}

// A screen reader reads the caret's line as the view's value: it is told when that line, or the
// text, changed.
void tell_caret_line(HWND window, TextView *tv) {
    size_t line = text_line_of(&tv->doc, tv->caret.caret);
    if (line == tv->told_line) return;
    tv->told_line = line;
    accessible_value_changed(window);
}

// The widths of the lines in view for the horizontal range, exact where measuring costs little; a
// longer line counts its bytes, which a move to its end corrects.
void note_widths(TextView *tv) {
    size_t lines = text_line_count(&tv->doc);
    for (size_t line = tv->port.top; line < lines && line <= tv->port.top + tv->port.rows; ++line) {
        size_t len = 0;
        text_line(&tv->doc, line, &len);
        size_t cols = len <= WIDE_LINE ? line_columns(tv->columns, &tv->doc, line) : len;
        if (cols > tv->widest) tv->widest = cols;
    }
}

void refresh(HWND window, TextView *tv) {
    note_widths(tv);
    update_scroll_bars(window, tv);
    place_caret(window, tv);
    tell_caret_line(window, tv);
    InvalidateRect(window, nullptr, FALSE);
}

// After the caret moved: bring it into view and redraw.
void caret_moved(HWND window, TextView *tv) {
    size_t line = text_line_of(&tv->doc, tv->caret.caret);
    size_t col = column_of(tv->columns, &tv->doc, line, tv->caret.caret);
    if (col > tv->widest) tv->widest = col;
    viewport_show(&tv->port, line, col);
    viewport_clamp(&tv->port, text_line_count(&tv->doc), tv->widest);
    refresh(window, tv);
}

void scroll_to(HWND window, TextView *tv, long long top, long long left) {
    tv->port.top = top > 0 ? static_cast<size_t>(top) : 0;
    tv->port.left = left > 0 ? static_cast<size_t>(left) : 0;
    viewport_clamp(&tv->port, text_line_count(&tv->doc), tv->widest);
    refresh(window, tv);
}

// One line of the view into dc at y: the characters in view, then the selected part over them
// in the highlight colours.
void paint_line(HDC dc, TextView *tv, const Palette *palette, size_t line, int y, int width,
                uint16_t *units, uint32_t *unit_cols, int *dx, size_t room) {
    const TextViewport &p = tv->port;
    size_t count = p.cols + 2;
    size_t n = line_cells(tv->columns, &tv->doc, line, p.left, count, units, unit_cols, room);
    for (size_t k = 0; k < n; ++k)
        dx[k] = static_cast<int>(unit_cols[k + 1] - unit_cols[k]) * tv->cell_w;
    int x = tv->margin + static_cast<int>(n ? unit_cols[0] : 0) * tv->cell_w;
    const WCHAR *text = reinterpret_cast<const WCHAR *>(units);
    SetTextColor(dc, palette->text.text);
    ExtTextOutW(dc, x, y, 0, nullptr, text, static_cast<UINT>(n), dx);

    size_t c0, c1;
    if (!selection_columns(&tv->doc, tv->columns, line, text_sel_start(&tv->caret),
                           text_sel_end(&tv->caret), &c0, &c1) ||
        c1 <= p.left || c0 > p.left + count)
        return;
    size_t from = c0 > p.left ? c0 - p.left : 0;
    size_t to = c1 - p.left < count ? c1 - p.left : count;
    RECT r = {tv->margin + static_cast<LONG>(from) * tv->cell_w, y,
              tv->margin + static_cast<LONG>(to) * tv->cell_w, y + tv->line_h};
    if (r.right > width) r.right = width;
    const CellColors selected = palette->text_selected[tv->focused ? 1 : 0];
    fill_colour(dc, &r, selected.back);
    SetTextColor(dc, selected.text);
    ExtTextOutW(dc, x, y, ETO_CLIPPED, &r, text, static_cast<UINT>(n), dx);
}

// Draws the lines in view into a memory bitmap first, so a repaint never flickers. The colours are
// the system's, read afresh at each paint (plugin/high_contrast.h).
void paint(HWND window, TextView *tv) {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    int w = client.right, h = client.bottom;
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = dc ? CreateCompatibleBitmap(screen, w > 0 ? w : 1, h > 0 ? h : 1) : nullptr;
    HGDIOBJ old_bitmap = bitmap ? SelectObject(dc, bitmap) : nullptr;
    HDC target = bitmap ? dc : screen;

    const Palette palette = paint_palette();
    fill_colour(target, &client, palette.text.back);
    HGDIOBJ old_font = SelectObject(target, text_font(tv->dpi));
    SetBkMode(target, TRANSPARENT);
    // A column holds at most one character of two units, and one more column may show in part.
    size_t room = (tv->port.cols + 2) * 2 + 2;
    uint16_t *units = static_cast<uint16_t *>(malloc(room * sizeof(uint16_t)));
    uint32_t *unit_cols = static_cast<uint32_t *>(malloc((room + 1) * sizeof(uint32_t)));
    int *dx = static_cast<int *>(malloc(room * sizeof(int)));
    size_t lines = text_line_count(&tv->doc);
    if (units && unit_cols && dx) {
        for (size_t i = 0; static_cast<long long>(i) * tv->line_h < h; ++i) {
            size_t line = tv->port.top + i;
            if (line >= lines) break;
            paint_line(target, tv, &palette, line, static_cast<int>(i) * tv->line_h, w, units,
                       unit_cols, dx, room);
        }
    }
    free(units);
    free(unit_cols);
    free(dx);
    SelectObject(target, old_font);
    if (bitmap) {
        BitBlt(screen, 0, 0, w, h, dc, 0, 0, SRCCOPY);
        SelectObject(dc, old_bitmap);
        DeleteObject(bitmap);
    }
    if (dc) DeleteDC(dc);
    EndPaint(window, &ps);
}

// The position under a point of the client area.
size_t hit(TextView *tv, LPARAM lparam) {
    long x = static_cast<short>(LOWORD(lparam)), y = static_cast<short>(HIWORD(lparam));
    long row = y >= 0 ? y / tv->line_h : -((-y + tv->line_h - 1) / tv->line_h);
    long eighths = (x - tv->margin) * 8 / tv->cell_w;
    return viewport_hit(&tv->port, &tv->doc, tv->columns, row, eighths);
}

LRESULT key_down(HWND window, TextView *tv, WPARAM key, LPARAM lparam) {
    if (SendMessageW(GetParent(window), WM_VIEWER_KEY, key, PLACE_TEXT)) return 0;
    bool ctrl = key_held(VK_CONTROL), shift = key_held(VK_SHIFT);
    TextMove move;
    if (text_move_for_key(static_cast<int>(key), ctrl, &move)) {
        text_move(&tv->caret, &tv->doc, tv->columns, move, shift, tv->port.rows);
        caret_moved(window, tv);
        return 0;
    }
    return DefWindowProcW(window, WM_KEYDOWN, key, lparam);
}

void scroll_message(HWND window, TextView *tv, int bar, WPARAM wparam) {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &si);
    long long pos = bar == SB_VERT ? static_cast<long long>(tv->port.top)
                                   : static_cast<long long>(tv->port.left);
    long long page = bar == SB_VERT ? static_cast<long long>(tv->port.rows)
                                    : static_cast<long long>(tv->port.cols);
    switch (LOWORD(wparam)) {
    case SB_LINEUP: --pos; break;
    case SB_LINEDOWN: ++pos; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = si.nMax; break;
    // The 32-bit track position: the message's own holds 16 bits, too few past 65,535 lines.
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    default: return;
    }
    if (bar == SB_VERT)
        scroll_to(window, tv, pos, static_cast<long long>(tv->port.left));
    else
        scroll_to(window, tv, static_cast<long long>(tv->port.top), pos);
}

void wheel(HWND window, TextView *tv, WPARAM wparam, bool sideways) {
    UINT lines = 3;
    SystemParametersInfoW(sideways ? SPI_GETWHEELSCROLLCHARS : SPI_GETWHEELSCROLLLINES, 0, &lines,
                          0);
    if (lines == WHEEL_PAGESCROLL) lines = static_cast<UINT>(clamp_int(tv->port.rows));
    int &rest = tv->wheel_rest[sideways ? 1 : 0];
    rest += GET_WHEEL_DELTA_WPARAM(wparam) * static_cast<int>(lines);
    int steps = rest / WHEEL_DELTA;
    rest -= steps * WHEEL_DELTA;
    if (steps == 0) return;
    long long top = static_cast<long long>(tv->port.top);
    long long left = static_cast<long long>(tv->port.left);
    if (sideways)
        scroll_to(window, tv, top, left + steps);
    else
        scroll_to(window, tv, top - steps, left);
}

void mouse_down(HWND window, TextView *tv, LPARAM lparam, bool word) {
    SetFocus(window);
    size_t pos = hit(tv, lparam);
    if (word) {
        text_select_word(&tv->caret, &tv->doc, pos);
    } else {
        text_set_caret(&tv->caret, &tv->doc, pos, key_held(VK_SHIFT));
        SetCapture(window);
        tv->dragging = true;
    }
    caret_moved(window, tv);
}

// A drag past an edge moves the caret there, and caret_moved scrolls the view after it.
void mouse_move(HWND window, TextView *tv, WPARAM wparam, LPARAM lparam) {
    if (!tv->dragging || !(wparam & MK_LBUTTON)) return;
    text_set_caret(&tv->caret, &tv->doc, hit(tv, lparam), 1);
    caret_moved(window, tv);
}

// The caret's width: 2 pixels at 96 DPI, or the user's own setting where that is wider.
int caret_width(const TextView *tv) {
    DWORD user = 0;
    SystemParametersInfoW(SPI_GETCARETWIDTH, 0, &user, 0);
    int ours = scaled_px(CARET_WIDTH_96, tv->dpi);
    return static_cast<int>(user) > ours ? static_cast<int>(user) : ours;
}

void set_focus(HWND window, TextView *tv, bool focused) {
    tv->focused = focused;
    if (focused) {
        CreateCaret(window, nullptr, caret_width(tv), tv->line_h);
        tv->caret_at = {INT32_MIN, INT32_MIN};
        place_caret(window, tv);
        ShowCaret(window);
    } else {
        DestroyCaret();
    }
    InvalidateRect(window, nullptr, FALSE);
}

// The view moved to a display of another scale: its font's cell and the margin are measured
// again, and the caret made to the new line height.
void follow_scale(HWND window, TextView *tv) {
    measure_font(window, tv);
    fit_port(window, tv);
    if (tv->focused) {
        DestroyCaret();
        set_focus(window, tv, true);
    }
    refresh(window, tv);
}

// WM_ACCESSIBLE_TEXT: the view's name, or the caret's line as its value.
LRESULT accessible_text(TextView *tv, WPARAM kind, LPARAM lparam) {
    AccessibleText *t = reinterpret_cast<AccessibleText *>(lparam);
    if (!t || !t->out || t->room == 0) return 0;
    uint16_t *out = reinterpret_cast<uint16_t *>(t->out);
    if (kind == ACCESSIBLE_NAME) {
        utf8_to_utf16(tv->name, strlen(tv->name), out, t->room, nullptr);
    } else {
        size_t line = text_line_of(&tv->doc, tv->caret.caret);
        text_copy_utf16(&tv->doc, text_line_start(&tv->doc, line), text_line_end(&tv->doc, line),
                        out, t->room);
    }
    return 1;
}

// The view's name for assistive technology, cut at a whole character; told when it changes.
void set_name(HWND window, TextView *tv, const char *name) {
    size_t n = strlen(name);
    if (n >= NAME_BYTES) n = utf8_char_floor(name, n, NAME_BYTES - 1);
    if (strncmp(tv->name, name, n) == 0 && tv->name[n] == '\0') return;
    memcpy(tv->name, name, n);
    tv->name[n] = '\0';
    accessible_name_changed(window);
}

// EM_GETSEL: positions in UTF-16 units, lower first.
LRESULT get_selection(TextView *tv, WPARAM wparam, LPARAM lparam) {
    size_t start = text_sel_start(&tv->caret), end = text_sel_end(&tv->caret);
    size_t s = text_utf16_count(&tv->doc, 0, start);
    size_t e = s + text_utf16_count(&tv->doc, start, end);
    if (wparam) *reinterpret_cast<DWORD *>(wparam) = static_cast<DWORD>(s);
    if (lparam) *reinterpret_cast<DWORD *>(lparam) = static_cast<DWORD>(e);
    return s > 0xFFFF || e > 0xFFFF ? -1 : MAKELRESULT(s, e);
}

// EM_SETSEL as an edit control takes it: from start (the anchor) to end (the caret), in UTF-16
// units; a negative end is the text's end; a start of -1 only drops the selection.
void set_selection(HWND window, TextView *tv, WPARAM wparam, LPARAM lparam) {
    int start = static_cast<int>(wparam), end = static_cast<int>(lparam);
    if (start == -1) {
        text_set_caret(&tv->caret, &tv->doc, tv->caret.caret, 0);
    } else {
        size_t s =
            start < 0 ? tv->doc.len : text_pos_of_utf16(&tv->doc, static_cast<size_t>(start));
        size_t e = end < 0 ? tv->doc.len : text_pos_of_utf16(&tv->doc, static_cast<size_t>(end));
        text_set_caret(&tv->caret, &tv->doc, s, 0);
        text_set_caret(&tv->caret, &tv->doc, e, 1);
    }
    caret_moved(window, tv);
}

// Where the edit-control messages stop reading: the text's first TEXT_MESSAGE_BYTES bytes, cut at
// a character's start.
size_t message_end(TextView *tv) {
    return tv->doc.len > TEXT_MESSAGE_BYTES ? text_char_floor(&tv->doc, TEXT_MESSAGE_BYTES)
                                            : tv->doc.len;
}

LRESULT get_text(TextView *tv, WPARAM room, LPARAM buffer) {
    if (room == 0 || !buffer) return 0;
    return static_cast<LRESULT>(
        text_copy_utf16(&tv->doc, 0, message_end(tv), reinterpret_cast<uint16_t *>(buffer), room));
}

LRESULT get_text_length(TextView *tv) {
    if (tv->utf16_len == LENGTH_UNKNOWN)
        tv->utf16_len = static_cast<long long>(text_utf16_count(&tv->doc, 0, message_end(tv)));
    return static_cast<LRESULT>(tv->utf16_len);
}

// The view's text changes: work reading it stops first.
void stop_reading(HWND view, TextView *tv) {
    stop_job_reading(viewer_window_of(view), &tv->doc);
}

void reset_view(TextView *tv) {
    tv->caret = TextCaret{};
    tv->told_line = SIZE_MAX; // a new text: its value is told afresh
    tv->port.top = tv->port.left = 0;
    tv->utf16_len = LENGTH_UNKNOWN;
    if (tv->columns) column_cache_clear(tv->columns);
}

TextView *create_record(HWND window) {
    TextView *tv = static_cast<TextView *>(calloc(1, sizeof(TextView)));
    if (!tv) return nullptr;
    for (auto &bar : tv->bars) bar[0] = bar[1] = bar[2] = -1;
    tv->columns = column_cache_new();
    text_doc_set(&tv->doc, nullptr, 0);
    reset_view(tv);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(tv));
    measure_font(window, tv);
    return tv;
}

// Frees the text the view owned, if any; `doc` must no longer read it.
void drop_own_text(TextView *tv) {
    mem_free(tv->own_text);
    tv->own_text = nullptr;
    line_table_free(&tv->own_lines);
}

void delete_record(HWND window, TextView *tv) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    accessible_release(&tv->accessible);
    tab_lines_free(&tv->lines);
    drop_own_text(tv);
    column_cache_delete(tv->columns);
    free(tv);
}

} // namespace

void register_text_view_class(void) {
    HINSTANCE host = GetModuleHandleW(nullptr);
    WNDCLASSW existing;
    if (GetClassInfoW(host, TEXT_VIEW_CLASS, &existing) && existing.lpfnWndProc != TextViewProc)
        UnregisterClassW(TEXT_VIEW_CLASS, host);
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = TextViewProc;
    wc.hInstance = host;
    wc.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
    wc.lpszClassName = TEXT_VIEW_CLASS;
    RegisterClassW(&wc);
}

HWND create_text_view(HWND parent, int x, int y, int w, int h) {
    return CreateWindowExW(WS_EX_CLIENTEDGE, TEXT_VIEW_CLASS, L"",
                           WS_CHILD | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, x, y, w, h, parent,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

void text_view_show_tab(HWND view, Viewer *viewer, int t) {
    TextView *tv = view_of(view);
    if (!tv) return;
    stop_reading(view, tv);
    set_name(view, tv, tab_name(t));
    tv->shows_section = tab_doc(viewer, t, &tv->lines, &tv->doc);
    drop_own_text(tv);
    reset_view(tv);
    fit_port(view, tv);
    refresh(view, tv);
}

void text_view_show_text(HWND view, char *text, size_t len) {
    TextView *tv = view_of(view);
    if (!tv) {
        mem_free(text);
        return;
    }
    stop_reading(view, tv);
    text_doc_set(&tv->doc, nullptr, 0);
    drop_own_text(tv);
    tv->shows_section = 0;
    if (text && line_table_build(&tv->own_lines, text, len)) {
        tv->own_text = text;
        text_doc_set_plain(&tv->doc, text, len, &tv->own_lines);
        tv->shows_section = 1;
    } else {
        mem_free(text);
    }
    tv->widest = 0;
    reset_view(tv);
    fit_port(view, tv);
    refresh(view, tv);
}

void text_view_set_name(HWND view, const char *name) {
    if (TextView *tv = view_of(view)) set_name(view, tv, name);
}

void text_view_forget(HWND view) {
    TextView *tv = view_of(view);
    if (!tv) return;
    stop_reading(view, tv);
    text_doc_set(&tv->doc, nullptr, 0);
    tab_lines_free(&tv->lines);
    drop_own_text(tv);
    tv->shows_section = 0;
    tv->widest = 0;
    reset_view(tv);
    refresh(view, tv);
}

void text_view_select_all(HWND view) {
    TextView *tv = view_of(view);
    if (!tv) return;
    text_select_all(&tv->caret, &tv->doc);
    caret_moved(view, tv);
}

void text_view_copy(HWND view) {
    TextView *tv = view_of(view);
    if (!tv) return;
    size_t start = text_sel_start(&tv->caret), end = text_sel_end(&tv->caret);
    if (start >= end && tv->shows_section) start = 0, end = tv->doc.len;
    if (start < end)
        copy_text_job(viewer_window_of(view), view, &tv->doc, start, end);
    else
        clip_set_utf8(view, "", 0);
}

namespace {

// A search of the view's text as work of the viewer window: it reads the view's document, which
// the view keeps until it has stopped the work (stop_job_reading).
struct TextFindJob {
    Job job;
    HWND view;
    Needle needle;
    size_t from;
    FindDir dir;
    TextHit hit;
    int found;
};

void text_find_run(Job *job) {
    TextFindJob *j = reinterpret_cast<TextFindJob *>(job);
    TextView *tv = view_of(j->view);
    j->found = text_find(&tv->doc, &j->needle, j->from, j->dir, &j->hit);
}

void text_find_hand_over(Job *job, void *to) {
    TextFindJob *j = reinterpret_cast<TextFindJob *>(job);
    TextView *tv = view_of(j->view);
    HWND bar = find_bar_of(static_cast<HWND>(to));
    if (!tv) return;
    if (!j->found) {
        find_bar_found_none(bar);
        return;
    }
    text_set_caret(&tv->caret, &tv->doc, j->hit.start, 0);
    text_set_caret(&tv->caret, &tv->doc, j->hit.end, 1);
    caret_moved(j->view, tv);
    char message[FIND_MESSAGE_LEN];
    find_message_text(message, sizeof message, text_line_of(&tv->doc, j->hit.start),
                      text_line_count(&tv->doc), &j->hit, j->dir);
    find_bar_say(bar, message);
}

void text_find_gave_up(Job *, void *to) {
    find_bar_say(find_bar_of(static_cast<HWND>(to)), FIND_STOPPED);
}

void text_find_discard(Job *job) {
    free(job);
}

const JobKind TEXT_FIND_JOB = {text_find_run, text_find_hand_over, text_find_gave_up,
                               text_find_discard};

} // namespace

bool text_view_find(HWND view, const Needle *needle, FindDir dir) {
    TextView *tv = view_of(view);
    if (!tv || !tv->shows_section) return false;
    TextFindJob *j = static_cast<TextFindJob *>(calloc(1, sizeof(TextFindJob)));
    if (!j) return false;
    job_init(&j->job, &TEXT_FIND_JOB, "searching\xE2\x80\xA6");
    j->job.reads = &tv->doc;
    j->view = view;
    j->needle = *needle;
    j->from = dir == FIND_NEXT ? text_sel_end(&tv->caret) : text_sel_start(&tv->caret);
    j->dir = dir;
    start_job(viewer_window_of(view), &j->job, tv->doc.len, false);
    return true;
}

LRESULT CALLBACK TextViewProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ModuleFrame frame;
    if (message == WM_NCCREATE && !create_record(window)) return FALSE;
    TextView *tv = view_of(window);
    if (!tv) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_NCDESTROY:
        stop_reading(window, tv);
        delete_record(window, tv);
        return DefWindowProcW(window, message, wparam, lparam);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: paint(window, tv); return 0;
    case WM_SIZE:
        fit_port(window, tv);
        refresh(window, tv);
        return 0;
    case WM_SETFOCUS: set_focus(window, tv, true); return 0;
    case WM_KILLFOCUS: set_focus(window, tv, false); return 0;
    case WM_KEYDOWN: return key_down(window, tv, wparam, lparam);
    case WM_SYSKEYDOWN:
        if (SendMessageW(GetParent(window), WM_VIEWER_KEY, wparam,
                         static_cast<LPARAM>(PLACE_TEXT) |
                             (key_with_alt(lparam) ? LPARAM(VIEWER_KEY_ALT) : 0)))
            return 0;
        return DefWindowProcW(window, message, wparam, lparam);
    case WM_CHAR: return 0; // read-only
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(text_font(tv->dpi));
    case WM_DPICHANGED_AFTERPARENT: follow_scale(window, tv); return 0;
    case WM_GETOBJECT: {
        bool handled = false;
        LRESULT object = accessible_answer(window, &tv->accessible, wparam, lparam, &handled);
        return handled ? object : DefWindowProcW(window, message, wparam, lparam);
    }
    case WM_ACCESSIBLE_TEXT: return accessible_text(tv, wparam, lparam);
    case WM_ACCESSIBLE_FOCUSED: return tv->focused ? 1 : 0;
    case WM_VSCROLL: scroll_message(window, tv, SB_VERT, wparam); return 0;
    case WM_HSCROLL: scroll_message(window, tv, SB_HORZ, wparam); return 0;
    case WM_MOUSEWHEEL: wheel(window, tv, wparam, false); return 0;
    case WM_MOUSEHWHEEL: wheel(window, tv, wparam, true); return 0;
    case WM_LBUTTONDOWN: mouse_down(window, tv, lparam, false); return 0;
    case WM_LBUTTONDBLCLK: mouse_down(window, tv, lparam, true); return 0;
    case WM_MOUSEMOVE: mouse_move(window, tv, wparam, lparam); return 0;
    case WM_LBUTTONUP:
        if (tv->dragging) ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED: tv->dragging = false; return 0;
    case WM_GETTEXTLENGTH: return get_text_length(tv);
    case WM_GETTEXT: return get_text(tv, wparam, lparam);
    case WM_SETTEXT: return FALSE; // the view shows the document's texts only
    case EM_GETSEL: return get_selection(tv, wparam, lparam);
    case EM_SETSEL: set_selection(window, tv, wparam, lparam); return 0;
    case EM_SCROLLCARET: caret_moved(window, tv); return TRUE;
    case EM_GETLINECOUNT: return static_cast<LRESULT>(text_line_count(&tv->doc));
    case WM_COPY:
        if (text_sel_start(&tv->caret) < text_sel_end(&tv->caret)) text_view_copy(window);
        return 0;
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}
