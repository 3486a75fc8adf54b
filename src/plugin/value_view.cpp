// The value view: a cell's value decoded into a text the text view owns, and the cell it came
// from for the status line and for Alt+Up and Alt+Down.
#include "plugin/value_view.h"

#include <stdio.h>
#include <stdlib.h>

#include "base/mem.h"
#include "base/strbuf.h"
#include "base/thousands.h"
#include "export/value_view.h"
#include "grid/cells.h"
#include "grid/shown_rows.h"
#include "keys/key_commands.h"
#include "plugin/module_frames.h"
#include "plugin/text_view.h"
#include "plugin/viewer_messages.h"
#include "plugin/viewer_window.h"
#include "work/grid_order.h"
#include "work/order_status.h"

namespace {

#define VALUE_VIEW_CLASS L"TavrinValue"
enum { VALUE_VIEW_ID = 0x7A2 };

// One per value view window, owned by it: made at WM_NCCREATE, freed at WM_NCDESTROY. `text` is
// the text view inside it; `record` (the file row, which keeps its meaning whatever order the
// grid shows) and `col` name the cell shown while `open`, and `shown` says what became of its
// value. With `summary` it shows column `col`'s summary instead, over the rows `rows` names (as
// format_row_count wrote them when it was made), and no cell.
struct ValueView {
    HWND text;
    bool open;
    bool summary;
    int32_t record, col;
    ValueShown shown;
    char rows[64];
};

ValueView *record(HWND view) {
    return view ? reinterpret_cast<ValueView *>(GetWindowLongPtrW(view, GWLP_USERDATA)) : nullptr;
}

LRESULT CALLBACK ValueViewProc(HWND view, UINT message, WPARAM wparam, LPARAM lparam) {
    ModuleFrame frame;
    if (message == WM_NCCREATE) {
        ValueView *vv = static_cast<ValueView *>(calloc(1, sizeof(ValueView)));
        if (!vv) return FALSE;
        SetWindowLongPtrW(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(vv));
    }
    ValueView *vv = record(view);
    if (!vv) return DefWindowProcW(view, message, wparam, lparam);
    switch (message) {
    case WM_CREATE:
        vv->text = create_text_view(view, 0, 0, 0, 0);
        if (!vv->text) return -1;
        ShowWindow(vv->text, SW_SHOW);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(view, GWLP_USERDATA, 0);
        free(vv);
        return DefWindowProcW(view, message, wparam, lparam);
    case WM_SIZE: MoveWindow(vv->text, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE); return 0;
    case WM_SETFOCUS: SetFocus(vv->text); return 0;
    case WM_CONTEXTMENU:
        // A right click in the text view, passed up by its default procedure, which names this
        // window as the one clicked (Wine does; Windows passes the text view on): the viewer is
        // told the text view, whose menu it opens.
        return SendMessageW(GetParent(view), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(vv->text),
                            lparam);
    case WM_VIEWER_KEY:
        // The text view's keys, asked of the viewer as the value view's.
        return SendMessageW(GetParent(view), WM_VIEWER_KEY, wparam,
                            static_cast<LPARAM>(PLACE_VALUE) | (lparam & VIEWER_KEY_ALT));
    default: return DefWindowProcW(view, message, wparam, lparam);
    }
}

} // namespace

void register_value_view_class(void) {
    HINSTANCE host = GetModuleHandleW(nullptr);
    WNDCLASSW existing;
    if (GetClassInfoW(host, VALUE_VIEW_CLASS, &existing) && existing.lpfnWndProc != ValueViewProc)
        UnregisterClassW(VALUE_VIEW_CLASS, host);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ValueViewProc;
    wc.hInstance = host;
    wc.lpszClassName = VALUE_VIEW_CLASS;
    RegisterClassW(&wc);
}

HWND create_value_view(HWND viewer_window) {
    HWND view =
        CreateWindowExW(0, VALUE_VIEW_CLASS, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0,
                        viewer_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(VALUE_VIEW_ID)),
                        GetModuleHandleW(nullptr), nullptr);
    if (view)
        SetWindowLongPtrW(viewer_window, VIEWER_SLOT_VALUE_VIEW, reinterpret_cast<LONG_PTR>(view));
    return view;
}

HWND value_view_of(HWND viewer_window) {
    return reinterpret_cast<HWND>(GetWindowLongPtrW(viewer_window, VIEWER_SLOT_VALUE_VIEW));
}

bool value_view_open(HWND view) {
    ValueView *vv = record(view);
    return vv && vv->open;
}

HWND value_view_text_view(HWND view) {
    ValueView *vv = record(view);
    return vv ? vv->text : nullptr;
}

bool value_view_show(HWND view, Viewer *viewer, int32_t row, int32_t col) {
    ValueView *vv = record(view);
    if (!vv) return false;
    StrBuf text;
    ValueShown shown = value_view_text(viewer, viewer->col_types, row, col, &text);
    if (shown == VALUE_NONE || shown == VALUE_NO_MEMORY) return false;
    bool has_text = shown == VALUE_TEXT || shown == VALUE_JSON || shown == VALUE_NOT_JSON;
    size_t len = has_text ? text.len : 0;
    text_view_show_text(vv->text, has_text ? sb_take(&text) : nullptr, len);
    char name[160];
    snprintf(name, sizeof name, "Value of %s", column_title(viewer, col));
    text_view_set_name(vv->text, name);
    vv->open = true;
    vv->summary = false;
    vv->record = record_at(viewer, row);
    vv->col = col;
    vv->shown = shown;
    return true;
}

bool value_view_show_summary(HWND view, const Viewer *viewer, int32_t col, char *text, size_t len) {
    ValueView *vv = record(view);
    if (!vv) {
        mem_free(text);
        return false;
    }
    text_view_show_text(vv->text, text, len);
    char name[160];
    snprintf(name, sizeof name, "Summary of %s", column_title(viewer, col));
    text_view_set_name(vv->text, name);
    vv->open = true;
    vv->summary = true;
    vv->record = -1;
    vv->col = col;
    format_row_count(vv->rows, sizeof vv->rows, viewer);
    return true;
}

bool value_view_summary_open(HWND view) {
    ValueView *vv = record(view);
    return vv && vv->open && vv->summary;
}

void value_view_close(HWND view) {
    ValueView *vv = record(view);
    if (!vv || !vv->open) return;
    vv->open = false;
    text_view_forget(vv->text);
}

bool value_view_cell(HWND view, const Viewer *viewer, int32_t *row, int32_t *col) {
    ValueView *vv = record(view);
    if (!vv || !vv->open || vv->summary) return false;
    *row = row_of_record(viewer, vv->record);
    *col = vv->col;
    return *row >= 0;
}

bool value_view_follow(HWND view, const Viewer *viewer) {
    int32_t row = 0, col = 0;
    return !value_view_open(view) || value_view_summary_open(view) ||
           value_view_cell(view, viewer, &row, &col);
}

void value_view_describe(HWND view, const Viewer *viewer, char *out, size_t n) {
    ValueView *vv = record(view);
    if (n == 0) return;
    out[0] = '\0';
    if (!vv || !vv->open) return;
    const char *type =
        viewer->col_types && vv->col < viewer->col_count ? viewer->col_types[vv->col].name : "";
    if (vv->summary) {
        snprintf(out, n, "Summary of column %s%s%s over %s", column_title(viewer, vv->col),
                 type[0] ? " " : "", type, vv->rows);
        return;
    }
    char row[32], rows[32];
    const int32_t at = row_of_record(viewer, vv->record);
    format_thousands(row, sizeof row, static_cast<unsigned long long>(at >= 0 ? at : 0) + 1);
    format_thousands(rows, sizeof rows, static_cast<unsigned long long>(shown_row_count(viewer)));
    const char *note = vv->shown == VALUE_NULL ? "   \xE2\x80\x94   NULL"
                       : vv->shown == VALUE_NOT_JSON
                           ? "   \xE2\x80\x94   not valid JSON, shown as stored"
                           : "";
    snprintf(out, n, "Row %s of %s, column %s%s%s%s", row, rows, column_title(viewer, vv->col),
             type[0] ? " " : "", type, note);
}
