// The find bar: its field, its keys, the searches and the strip's painting. Which cell or text
// matches is the find model's decision; this file reads the field and shows the outcome.
#include "plugin/find_bar.h"

#include <string.h>

#include "find/find.h"
#include "find/find_message.h"
#include "plugin/key_state.h"
#include "grid/cursor.h"
#include "plugin/text_view.h"
#include "plugin/viewer_window.h"
#include "base/utf8.h"

extern HFONT g_barfont;

namespace {

enum {
    LABEL_X = 8,
    FIELD_X = 48,
    FIELD_W = 280,
    FIELD_MARGIN = 4,
    MESSAGE_GAP = 12,
};

HWND field_of(const Viewer *viewer) {
    return static_cast<HWND>(viewer->find_field);
}

void show_message(const Viewer *viewer) {
    WCHAR wide[FIND_MESSAGE_LEN];
    utf8_to_utf16(viewer->find_message, strlen(viewer->find_message),
                  reinterpret_cast<uint16_t *>(wide), FIND_MESSAGE_LEN, nullptr);
    SetWindowTextW(static_cast<HWND>(viewer->find_note), wide);
}

// The field's text becomes the last text searched, as UTF-8.
void take_field_text(Viewer *viewer) {
    HWND field = field_of(viewer);
    WCHAR typed[FIND_TEXT_MAX + 2];
    int n = GetWindowTextW(field, typed, FIND_TEXT_MAX + 2);
    utf16_to_utf8(reinterpret_cast<const uint16_t *>(typed), n > 0 ? static_cast<size_t>(n) : 0,
                  viewer->find_text, sizeof viewer->find_text);
}

void search(Viewer *viewer, bool backward) {
    Needle needle;
    FindDir dir = backward ? FIND_PREV : FIND_NEXT;
    const char *text = viewer->find_text;
    char *message = viewer->find_message;
    if (!needle_compile(&needle, text, strlen(text))) {
        find_message_none(message, FIND_MESSAGE_LEN, text);
    } else if (viewer->tab == TAB_DATA) {
        GridHit hit;
        if (grid_find(viewer, &needle, viewer->cur_row, viewer->cur_col, dir, &hit)) {
            grid_goto(viewer, hit.row, hit.col, 0);
            find_message_grid(message, FIND_MESSAGE_LEN, viewer, &hit, dir);
        } else {
            find_message_none(message, FIND_MESSAGE_LEN, text);
        }
    } else {
        TextHit hit;
        size_t line = 0, lines = 0;
        if (text_view_find(static_cast<HWND>(viewer->edit), &needle, dir, &hit, &line, &lines))
            find_message_text(message, FIND_MESSAGE_LEN, line, lines, &hit, dir);
        else
            find_message_none(message, FIND_MESSAGE_LEN, text);
    }
    show_message(viewer);
}

void select_field(const Viewer *viewer) {
    SendMessageW(field_of(viewer), EM_SETSEL, 0, -1);
}

LRESULT CALLBACK FindFieldProc(HWND field, UINT message, WPARAM wparam, LPARAM lparam) {
    HWND window = GetParent(field);
    Viewer *viewer = viewer_of(window);
    if (!viewer) return DefWindowProcW(field, message, wparam, lparam);
    WNDPROC own = reinterpret_cast<WNDPROC>(viewer->find_field_proc);
    switch (message) {
    case WM_KEYDOWN:
        switch (wparam) {
        case VK_RETURN:
        case VK_F3:
            take_field_text(viewer);
            search(viewer, key_held(VK_SHIFT));
            return 0;
        case VK_ESCAPE: find_bar_close(window, viewer); return 0;
        case VK_F7: select_field(viewer); return 0;
        case 'F':
            if (!key_held(VK_CONTROL)) break;
            select_field(viewer);
            return 0;
        default: break;
        }
        break;
    case WM_CHAR:
        // Enter and Escape were handled as keys; as characters they would only beep.
        if (wparam == '\r' || wparam == '\n' || wparam == 0x1B) return 0;
        break;
    case WM_GETDLGCODE:
        // A host that runs the viewer through a dialog manager must not take Enter or Escape.
        return CallWindowProcW(own, field, message, wparam, lparam) | DLGC_WANTALLKEYS;
    default: break;
    }
    return CallWindowProcW(own, field, message, wparam, lparam);
}

// The field and the note beside it that says what the last search found, both Unicode controls.
void make_controls(HWND window, Viewer *viewer) {
    HINSTANCE host = GetModuleHandleW(nullptr);
    HWND field =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL, 0,
                        0, FIELD_W, 20, window, nullptr, host, nullptr);
    HWND note = CreateWindowExW(0, L"STATIC", L"",
                                WS_CHILD | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS | SS_CENTERIMAGE,
                                0, 0, 0, 0, window, nullptr, host, nullptr);
    if (!field || !note) {
        if (field) DestroyWindow(field);
        if (note) DestroyWindow(note);
        return;
    }
    SendMessageW(field, EM_LIMITTEXT, FIND_TEXT_MAX, 0);
    if (g_barfont) {
        SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(g_barfont), FALSE);
        SendMessageW(note, WM_SETFONT, reinterpret_cast<WPARAM>(g_barfont), FALSE);
    }
    viewer->find_field = field;
    viewer->find_note = note;
    viewer->find_field_proc = reinterpret_cast<void *>(
        SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FindFieldProc)));
}

// Lays the children out anew for the bar's height and repaints the viewer.
void relayout(HWND window, Viewer *viewer) {
    layout_children(window, viewer);
    InvalidateRect(window, nullptr, FALSE);
}

void set_field_text(const Viewer *viewer) {
    WCHAR wide[FIND_TEXT_MAX + 1];
    utf8_to_utf16(viewer->find_text, strlen(viewer->find_text), reinterpret_cast<uint16_t *>(wide),
                  FIND_TEXT_MAX + 1, nullptr);
    SetWindowTextW(field_of(viewer), wide);
}

} // namespace

void find_bar_open(HWND window, Viewer *viewer) {
    if (!viewer->find_field) make_controls(window, viewer);
    HWND field = field_of(viewer);
    if (!field) return;
    if (!viewer->find_open) {
        viewer->find_open = 1;
        set_field_text(viewer);
        show_message(viewer);
        ShowWindow(field, SW_SHOW);
        ShowWindow(static_cast<HWND>(viewer->find_note), SW_SHOW);
        relayout(window, viewer);
    }
    select_field(viewer);
    SetFocus(field);
}

void find_bar_close(HWND window, Viewer *viewer) {
    if (!viewer->find_open) return;
    take_field_text(viewer);
    viewer->find_open = 0;
    ShowWindow(field_of(viewer), SW_HIDE);
    ShowWindow(static_cast<HWND>(viewer->find_note), SW_HIDE);
    relayout(window, viewer);
    SetFocus(current_child(viewer));
}

void find_again(HWND window, Viewer *viewer, bool backward) {
    if (viewer->find_open) take_field_text(viewer);
    if (!viewer->find_text[0]) {
        find_bar_open(window, viewer);
        return;
    }
    search(viewer, backward);
}

int find_bar_height(const Viewer *viewer) {
    return viewer->find_open ? FIND_BAR_HEIGHT : 0;
}

void find_bar_layout(const Viewer *viewer, int w, int h) {
    if (!viewer->find_field) return;
    int top = h - FIND_BAR_HEIGHT + FIELD_MARGIN, height = FIND_BAR_HEIGHT - 2 * FIELD_MARGIN;
    MoveWindow(field_of(viewer), FIELD_X, top, FIELD_W, height, TRUE);
    int note_x = FIELD_X + FIELD_W + MESSAGE_GAP;
    MoveWindow(static_cast<HWND>(viewer->find_note), note_x, top,
               w > note_x + LABEL_X ? w - note_x - LABEL_X : 0, height, TRUE);
}

void find_bar_paint(HDC dc, const RECT &client, const Viewer *viewer) {
    if (!viewer || !viewer->find_open) return;
    RECT strip = client;
    strip.top = client.bottom - FIND_BAR_HEIGHT;
    FillRect(dc, &strip, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RECT line = {strip.left, strip.top, strip.right, strip.top + 1};
    FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT label = {LABEL_X, strip.top, FIELD_X, strip.bottom};
    DrawTextW(dc, L"Find:", -1, &label, DT_SINGLELINE | DT_VCENTER);
}
