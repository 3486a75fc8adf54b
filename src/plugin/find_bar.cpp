// The find bar: its window, its field, the searches and the strip's painting. Which cell or text
// matches is the find model's decision; this file reads the field and shows the outcome.
#include "plugin/find_bar.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "base/utf8.h"
#include "find/find.h"
#include "find/find_message.h"
#include "grid/cursor.h"
#include "grid/shown_rows.h"
#include "keys/key_commands.h"
#include "plugin/dpi.h"
#include "plugin/grid_orders.h"
#include "plugin/fonts.h"
#include "plugin/grid_binding.h"
#include "plugin/high_contrast.h"
#include "plugin/long_job.h"
#include "plugin/module_frames.h"
#include "plugin/text_view.h"
#include "plugin/value_view.h"
#include "plugin/viewer_messages.h"
#include "plugin/viewer_record.h"
#include "plugin/viewer_window.h"
#include "work/go_to.h"
#include "work/order_status.h"
#include "work/row_filter.h"

namespace {

#define FIND_BAR_CLASS L"TavrinFindBar"

enum {
    FIND_BAR_ID = 0x7A1,
    // Pixels at 96 DPI, scaled to the bar's.
    LABEL_X = 8,
    FIELD_X = 56,
    LABEL_GAP = 8,
    FIELD_W = 280,
    FIELD_MARGIN = 4,
    MESSAGE_GAP = 12,
    // The field takes one unit more than a search text may hold bytes: a text the field had to
    // cut (a long paste) is then always too long to search, and says so, rather than being
    // searched as a prefix of what was pasted.
    FIELD_UNITS = FIND_TEXT_MAX + 1,
    // A UTF-16 unit becomes at most three bytes of UTF-8 (a pair of them four), so the kept text
    // holds whatever the field holds, whole.
    TEXT_BYTES = 3 * FIELD_UNITS + 1,
};

// What the field's text does: find cells and text, narrow the grid to the rows holding it or to
// the rows a condition holds for, or name a row to go to.
enum BarMode { BAR_FIND, BAR_FILTER, BAR_GOTO };

// One per bar window, owned by it: made at WM_NCCREATE, freed at WM_NCDESTROY. The bar lives as
// long as its viewer window, so `text` (the last text searched, NUL-terminated, empty until a
// first search) outlives a reload and serves F3 in the next file. `filter` is the text the grid's
// rows are filtered by while a filter holds (empty otherwise); a reload clears it with the filter.
// `row` is the last row number typed to go to. `message` is what `note` shows. `quiet` is set
// while the bar itself changes the field's text, so that the change is not taken for typing.
// `condition` says that the filter's text reads as a condition (query/condition.h), which the label
// says. `dpi` is the scale its controls are laid out at.
struct FindBar {
    HWND field, note;
    int dpi;
    WNDPROC field_proc; // the edit control's own procedure, under FindFieldProc
    BarMode mode;
    bool quiet;
    bool condition;
    char text[TEXT_BYTES];
    char filter[TEXT_BYTES];
    char row[TEXT_BYTES];
    char message[FIND_MESSAGE_LEN];
};

FindBar *bar_record(HWND bar) {
    return reinterpret_cast<FindBar *>(GetWindowLongPtrW(bar, GWLP_USERDATA));
}

void show_message(FindBar *fb) {
    WCHAR wide[FIND_MESSAGE_LEN];
    utf8_to_utf16(fb->message, strlen(fb->message), reinterpret_cast<uint16_t *>(wide),
                  FIND_MESSAGE_LEN, nullptr);
    SetWindowTextW(fb->note, wide);
}

// The text of the bar's mode: the last text searched, the filter's, or the row's.
char *mode_text(FindBar *fb) {
    return fb->mode == BAR_FILTER ? fb->filter : fb->mode == BAR_GOTO ? fb->row : fb->text;
}

// What the label before the field says, which is also the bar window's own text (for programs
// that read windows).
const WCHAR *label_of(const FindBar *fb) {
    switch (fb->mode) {
    case BAR_FILTER: return fb->condition ? L"Filter (condition):" : L"Filter:";
    case BAR_GOTO: return L"Go to row:";
    default: return L"Find:";
    }
}

// Where the field starts: after the label, however long it is, at FIELD_X at least.
int field_x(HWND bar, const FindBar *fb) {
    int x = scaled_px(FIELD_X, fb->dpi);
    HDC dc = GetDC(bar);
    if (!dc) return x;
    HGDIOBJ old = SelectObject(dc, bar_font(fb->dpi));
    SIZE size = {};
    const WCHAR *label = label_of(fb);
    if (GetTextExtentPoint32W(dc, label, lstrlenW(label), &size)) {
        const int after = scaled_px(LABEL_X, fb->dpi) + size.cx + scaled_px(LABEL_GAP, fb->dpi);
        if (after > x) x = after;
    }
    SelectObject(dc, old);
    ReleaseDC(bar, dc);
    return x;
}

void layout(HWND bar, FindBar *fb);

// The label follows the mode and the filter's text: repainted, and the field moved after it.
void show_label(HWND bar, FindBar *fb) {
    WCHAR had[32] = L"";
    InternalGetWindowText(bar, had, 32);
    const WCHAR *label = label_of(fb);
    if (lstrcmpW(had, label) == 0) return;
    SetWindowTextW(bar, label);
    layout(bar, fb);
    InvalidateRect(bar, nullptr, TRUE);
}

// The field's text becomes the mode's text, as UTF-8.
void take_field_text(FindBar *fb) {
    WCHAR typed[FIELD_UNITS + 1];
    int n = GetWindowTextW(fb->field, typed, FIELD_UNITS + 1);
    utf16_to_utf8(reinterpret_cast<const uint16_t *>(typed), n > 0 ? static_cast<size_t>(n) : 0,
                  mode_text(fb), TEXT_BYTES);
}

void set_field_text(FindBar *fb) {
    WCHAR wide[FIELD_UNITS + 1];
    const char *text = mode_text(fb);
    utf8_to_utf16(text, strlen(text), reinterpret_cast<uint16_t *>(wide), FIELD_UNITS + 1, nullptr);
    fb->quiet = true;
    SetWindowTextW(fb->field, wide);
    fb->quiet = false;
}

// Narrows the grid to the rows holding the filter's text (every row for an empty text), or to
// the rows its condition holds for, the cells' conditions kept, as work of the viewer; the bar says
// how many show once it is handed over (find_bar_filtered), or why the text cannot filter (and the
// grid stays as it was).
void apply_filter(HWND bar, FindBar *fb) {
    HWND window = GetParent(bar);
    Viewer *viewer = viewer_of(window);
    if (!viewer) return;
    const char *text = fb->filter;
    const size_t len = strlen(text);
    Condition *typed = nullptr;
    const BarReading reading =
        bar_text_read(viewer, text, len, &typed, fb->message, FIND_MESSAGE_LEN);
    fb->condition = reading == BAR_CONDITION || reading == BAR_UNREADABLE;
    show_label(bar, fb);
    if (reading == BAR_UNREADABLE) {
        show_message(fb);
        return;
    }
    Needle needle;
    if (reading == BAR_TEXT && !needle_compile(&needle, text, len)) {
        find_message_none(fb->message, FIND_MESSAGE_LEN, text);
        show_message(fb);
        return;
    }
    RowFilter filter;
    if (!row_filter_with_bar(&filter, asked_filter(window, viewer), text, len, typed)) {
        snprintf(fb->message, FIND_MESSAGE_LEN, "not enough memory for that filter");
        show_message(fb);
        return;
    }
    ask_filter(window, viewer, &filter);
}

// A search of the grid's cells as work of the viewer: it reads a copy of the record, and its hit
// is a cell of the rows as they showed when it began, which stay as they were while it runs (no
// other order is made meanwhile).
struct GridFindJob {
    Job job;
    Viewer from;
    Needle needle;
    FindDir dir;
    GridHit hit;
    int found;
};

void grid_find_run(Job *job) {
    GridFindJob *j = reinterpret_cast<GridFindJob *>(job);
    j->found = grid_find(&j->from, &j->needle, j->from.cur_row, j->from.cur_col, j->dir, &j->hit);
}

void grid_find_hand_over(Job *job, void *to) {
    GridFindJob *j = reinterpret_cast<GridFindJob *>(job);
    HWND window = static_cast<HWND>(to);
    Viewer *viewer = viewer_of(window);
    HWND bar = find_bar_of(window);
    if (!viewer) return;
    if (!j->found) {
        find_bar_found_none(bar);
        return;
    }
    grid_goto(viewer, j->hit.row, j->hit.col, 0);
    char message[FIND_MESSAGE_LEN];
    find_message_grid(message, sizeof message, viewer, &j->hit, j->dir);
    find_bar_say(bar, message);
}

void grid_find_gave_up(Job *, void *to) {
    find_bar_stopped(find_bar_of(static_cast<HWND>(to)));
}

void grid_find_discard(Job *job) {
    free(job);
}

const JobKind GRID_FIND_JOB = {grid_find_run, grid_find_hand_over, grid_find_gave_up,
                               grid_find_discard};

void search(HWND bar, FindBar *fb, bool backward) {
    HWND window = GetParent(bar);
    Viewer *viewer = viewer_of(window);
    if (!viewer) return;
    Needle needle;
    FindDir dir = backward ? FIND_PREV : FIND_NEXT;
    const char *text = fb->text;
    if (!needle_compile(&needle, text, strlen(text))) {
        find_message_none(fb->message, FIND_MESSAGE_LEN, text);
        show_message(fb);
        return;
    }
    HWND value = value_view_of(window);
    if (viewer->tab == TAB_DATA && !value_view_open(value)) {
        GridFindJob *j = static_cast<GridFindJob *>(calloc(1, sizeof(GridFindJob)));
        if (!j) return;
        job_init(&j->job, &GRID_FIND_JOB, "searching\xE2\x80\xA6");
        j->from = *viewer;
        j->needle = needle;
        j->dir = dir;
        start_job(window, &j->job, static_cast<uint64_t>(viewer->buf_len), false);
        return;
    }
    HWND view =
        viewer->tab == TAB_DATA ? value_view_text_view(value) : static_cast<HWND>(viewer->edit);
    if (!text_view_find(view, &needle, dir)) find_bar_found_none(bar);
}

// The field's keys: the viewer's own first (find again, close, tabs never: digits type here),
// then the edit control's.
LRESULT CALLBACK FindFieldProc(HWND field, UINT message, WPARAM wparam, LPARAM lparam) {
    ModuleFrame frame;
    HWND bar = GetParent(field);
    FindBar *fb = bar_record(bar);
    if (!fb) return DefWindowProcW(field, message, wparam, lparam);
    switch (message) {
    case WM_KEYDOWN: {
        const KeyPlace place = fb->mode == BAR_FILTER ? PLACE_FILTER_FIELD
                               : fb->mode == BAR_GOTO ? PLACE_GOTO_FIELD
                                                      : PLACE_FIND_FIELD;
        if (SendMessageW(GetParent(bar), WM_VIEWER_KEY, wparam, place)) return 0;
        break;
    }
    case WM_CHAR:
        // Enter and Escape were handled as keys; as characters they would only beep.
        if (wparam == '\r' || wparam == '\n' || wparam == 0x1B) return 0;
        break;
    case WM_GETDLGCODE:
        // A host that runs the viewer through a dialog manager must not take Enter or Escape.
        return CallWindowProcW(fb->field_proc, field, message, wparam, lparam) | DLGC_WANTALLKEYS;
    default: break;
    }
    return CallWindowProcW(fb->field_proc, field, message, wparam, lparam);
}

// The field and the note, both Unicode controls; false when either cannot be made.
bool make_controls(HWND bar, FindBar *fb) {
    HINSTANCE host = GetModuleHandleW(nullptr);
    fb->field = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, FIELD_X,
                                FIELD_MARGIN, FIELD_W, 20, bar, nullptr, host, nullptr);
    fb->note = CreateWindowExW(0, L"STATIC", L"",
                               WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS |
                                   SS_CENTERIMAGE,
                               0, 0, 0, 0, bar, nullptr, host, nullptr);
    if (!fb->field || !fb->note) return false;
    SendMessageW(fb->field, EM_LIMITTEXT, FIELD_UNITS, 0);
    fb->dpi = window_dpi(bar);
    SendMessageW(fb->field, WM_SETFONT, reinterpret_cast<WPARAM>(bar_font(fb->dpi)), FALSE);
    SendMessageW(fb->note, WM_SETFONT, reinterpret_cast<WPARAM>(bar_font(fb->dpi)), FALSE);
    fb->field_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(fb->field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FindFieldProc)));
    return true;
}

void layout(HWND bar, FindBar *fb) {
    auto px = [fb](int at_96) { return scaled_px(at_96, fb->dpi); };
    RECT client;
    GetClientRect(bar, &client);
    const int height = px(FIND_BAR_HEIGHT_96) - 2 * px(FIELD_MARGIN);
    const int x = field_x(bar, fb);
    MoveWindow(fb->field, x, px(FIELD_MARGIN), px(FIELD_W), height, TRUE);
    int note_x = x + px(FIELD_W) + px(MESSAGE_GAP);
    int note_w = client.right - note_x - px(LABEL_X);
    MoveWindow(fb->note, note_x, px(FIELD_MARGIN), note_w > 0 ? note_w : 0, height, TRUE);
}

// The bar moved to a display of another scale: its fonts and its controls' places follow.
void follow_scale(HWND bar, FindBar *fb) {
    fb->dpi = window_dpi(bar);
    SendMessageW(fb->field, WM_SETFONT, reinterpret_cast<WPARAM>(bar_font(fb->dpi)), TRUE);
    SendMessageW(fb->note, WM_SETFONT, reinterpret_cast<WPARAM>(bar_font(fb->dpi)), TRUE);
    layout(bar, fb);
    InvalidateRect(bar, nullptr, TRUE);
}

void paint(HWND bar) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(bar, &ps);
    RECT strip;
    GetClientRect(bar, &strip);
    const Palette palette = paint_palette();
    const int dpi = window_dpi(bar);
    fill_colour(dc, &strip, palette.bar.back);
    RECT line = {strip.left, strip.top, strip.right, strip.top + scaled_px(1, dpi)};
    fill_colour(dc, &line, palette.bar_rule);
    HGDIOBJ old_font = SelectObject(dc, bar_font(dpi));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, palette.bar.text);
    const FindBar *fb = bar_record(bar);
    RECT label = {scaled_px(LABEL_X, dpi), strip.top, fb ? field_x(bar, fb) : strip.right,
                  strip.bottom};
    DrawTextW(dc, fb ? label_of(fb) : L"", -1, &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old_font);
    EndPaint(bar, &ps);
}

LRESULT CALLBACK FindBarProc(HWND bar, UINT message, WPARAM wparam, LPARAM lparam) {
    ModuleFrame frame;
    if (message == WM_NCCREATE) {
        FindBar *fb = static_cast<FindBar *>(calloc(1, sizeof(FindBar)));
        if (!fb) return FALSE;
        SetWindowLongPtrW(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(fb));
    }
    FindBar *fb = bar_record(bar);
    if (!fb) return DefWindowProcW(bar, message, wparam, lparam);
    switch (message) {
    case WM_CREATE: return make_controls(bar, fb) ? 0 : -1;
    case WM_NCDESTROY:
        SetWindowLongPtrW(bar, GWLP_USERDATA, 0);
        free(fb);
        return DefWindowProcW(bar, message, wparam, lparam);
    case WM_SIZE: layout(bar, fb); return 0;
    case WM_DPICHANGED_AFTERPARENT: follow_scale(bar, fb); return 0;
    case WM_PAINT: paint(bar); return 0;
    case WM_SETFOCUS: SetFocus(fb->field); return 0;
    case WM_COMMAND:
        // Each change of the filter's text narrows the rows at once.
        if (reinterpret_cast<HWND>(lparam) == fb->field && HIWORD(wparam) == EN_CHANGE &&
            fb->mode == BAR_FILTER && !fb->quiet) {
            take_field_text(fb);
            apply_filter(bar, fb);
        }
        return 0;
    default: return DefWindowProcW(bar, message, wparam, lparam);
    }
}

} // namespace

void register_find_bar_class(void) {
    HINSTANCE host = GetModuleHandleW(nullptr);
    WNDCLASSW existing;
    if (GetClassInfoW(host, FIND_BAR_CLASS, &existing) && existing.lpfnWndProc != FindBarProc)
        UnregisterClassW(FIND_BAR_CLASS, host);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = FindBarProc;
    wc.hInstance = host;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = FIND_BAR_CLASS;
    RegisterClassW(&wc);
}

HWND create_find_bar(HWND viewer_window) {
    HWND bar =
        CreateWindowExW(0, FIND_BAR_CLASS, L"Find:", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0,
                        scaled_px(FIND_BAR_HEIGHT_96, window_dpi(viewer_window)), viewer_window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(FIND_BAR_ID)),
                        GetModuleHandleW(nullptr), nullptr);
    if (bar)
        SetWindowLongPtrW(viewer_window, VIEWER_SLOT_FIND_BAR, reinterpret_cast<LONG_PTR>(bar));
    return bar;
}

HWND find_bar_of(HWND viewer_window) {
    return reinterpret_cast<HWND>(GetWindowLongPtrW(viewer_window, VIEWER_SLOT_FIND_BAR));
}

int find_bar_height(HWND bar) {
    return bar && IsWindowVisible(bar) ? scaled_px(FIND_BAR_HEIGHT_96, window_dpi(bar)) : 0;
}

// Opens the bar in `mode` (or turns it to that mode), its text all selected.
static void open_in_mode(HWND bar, BarMode mode) {
    FindBar *fb = bar ? bar_record(bar) : nullptr;
    if (!fb) return;
    bool shown = IsWindowVisible(bar);
    if (shown && fb->mode != mode) take_field_text(fb);
    if (!shown || fb->mode != mode) {
        fb->mode = mode;
        set_field_text(fb);
        fb->message[0] = '\0';
        Viewer *viewer = viewer_of(GetParent(bar));
        if (mode == BAR_FILTER && viewer) {
            format_row_count(fb->message, FIND_MESSAGE_LEN, viewer);
            fb->condition = condition_looks_like(viewer, fb->filter, strlen(fb->filter));
        }
        show_message(fb);
        show_label(bar, fb);
        InvalidateRect(bar, nullptr, TRUE); // the label
    }
    if (!shown) {
        ShowWindow(bar, SW_SHOW);
        SendMessageW(GetParent(bar), WM_FIND_BAR_SHOWN, 1, 0);
    }
    SendMessageW(fb->field, EM_SETSEL, 0, -1);
    SetFocus(fb->field);
}

void find_bar_open(HWND bar) {
    open_in_mode(bar, BAR_FIND);
}

void find_bar_open_filter(HWND bar) {
    open_in_mode(bar, BAR_FILTER);
}

void find_bar_open_goto(HWND bar) {
    open_in_mode(bar, BAR_GOTO);
}

void find_bar_go_to_row(HWND bar) {
    FindBar *fb = bar ? bar_record(bar) : nullptr;
    Viewer *viewer = bar ? viewer_of(GetParent(bar)) : nullptr;
    if (!fb || !viewer || fb->mode != BAR_GOTO) return;
    take_field_text(fb);
    int32_t row = 0;
    const GoTo went = go_to_row(fb->row, strlen(fb->row), shown_row_count(viewer), &row,
                                fb->message, FIND_MESSAGE_LEN);
    if (went == GOTO_ROW || went == GOTO_LAST) grid_goto(viewer, row, viewer->cur_col, 0);
    if (went == GOTO_ROW)
        find_bar_close(bar);
    else
        show_message(fb);
}

void find_bar_keep_filter(HWND bar) {
    FindBar *fb = bar ? bar_record(bar) : nullptr;
    if (!fb || fb->mode != BAR_FILTER) return;
    find_bar_close(bar);
}

void find_bar_clear_filter(HWND bar) {
    FindBar *fb = bar ? bar_record(bar) : nullptr;
    if (!fb || fb->mode != BAR_FILTER) return;
    HWND window = GetParent(bar);
    find_bar_forget_filter(bar);
    if (Viewer *viewer = viewer_of(window)) {
        RowFilter none = {};
        ask_filter(window, viewer, &none);
    }
}

void find_bar_forget_filter(HWND bar) {
    FindBar *fb = bar ? bar_record(bar) : nullptr;
    if (!fb) return;
    fb->filter[0] = '\0';
    fb->condition = false;
    if (fb->mode == BAR_FILTER) {
        set_field_text(fb);
        show_label(bar, fb);
        find_bar_close(bar);
    }
}

void find_bar_tab_shown(HWND bar, int tab) {
    FindBar *fb = bar ? bar_record(bar) : nullptr;
    if (fb && tab != TAB_DATA && fb->mode != BAR_FIND) find_bar_close(bar);
}

void find_bar_close(HWND bar) {
    FindBar *fb = bar ? bar_record(bar) : nullptr;
    if (!fb || !IsWindowVisible(bar)) return;
    take_field_text(fb);
    ShowWindow(bar, SW_HIDE);
    SendMessageW(GetParent(bar), WM_FIND_BAR_SHOWN, 0, 0);
}

void find_again(HWND bar, bool backward) {
    FindBar *fb = bar ? bar_record(bar) : nullptr;
    if (!fb) return;
    if (IsWindowVisible(bar) && fb->mode == BAR_FIND)
        take_field_text(fb); // and an empty field says so
    else if (!fb->text[0])
        return find_bar_open(bar);
    search(bar, fb, backward);
}

void find_bar_say(HWND bar, const char *message) {
    FindBar *fb = bar ? bar_record(bar) : nullptr;
    if (!fb) return;
    snprintf(fb->message, FIND_MESSAGE_LEN, "%s", message);
    show_message(fb);
}

void find_bar_found_none(HWND bar) {
    FindBar *fb = bar ? bar_record(bar) : nullptr;
    if (!fb) return;
    find_message_none(fb->message, FIND_MESSAGE_LEN, fb->text);
    show_message(fb);
}

void find_bar_stopped(HWND bar) {
    find_bar_say(bar, FIND_STOPPED);
}

void find_bar_filtered(HWND bar) {
    FindBar *fb = bar ? bar_record(bar) : nullptr;
    Viewer *viewer = bar ? viewer_of(GetParent(bar)) : nullptr;
    if (!fb || !viewer) return;
    format_row_count(fb->message, FIND_MESSAGE_LEN, viewer);
    show_message(fb);
}
