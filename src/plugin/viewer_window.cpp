// The viewer window: class registration, children, the header bar and tab switching.
#include "plugin/viewer_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <stdio.h>
#include <string.h>

#include "base/utf8.h"
#include "document/load.h"
#include "document/tab_text.h"
#include "plugin/child_windows.h"
#include "plugin/counting.h"
#include "plugin/dpi.h"
#include "plugin/find_bar.h"
#include "plugin/fonts.h"
#include "plugin/grid_binding.h"
#include "plugin/grid_orders.h"
#include "plugin/high_contrast.h"
#include "plugin/long_job.h"
#include "plugin/module_frames.h"
#include "plugin/notice.h"
#include "plugin/sums_job.h"
#include "plugin/text_view.h"
#include "plugin/value_view.h"
#include "plugin/viewer_keys.h"
#include "plugin/viewer_record.h"
#include "work/order_status.h"

Viewer *viewer_of_viewer_window(HWND window) {
    char name[sizeof VIEWER_CLASS + 1] = "";
    if (!IsWindow(window) || !GetClassNameA(window, name, sizeof name)) return nullptr;
    return lstrcmpA(name, VIEWER_CLASS) == 0 ? viewer_of(window) : nullptr;
}

void register_viewer_class(void) {
    HINSTANCE host = GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (GetClassInfoA(host, VIEWER_CLASS, &existing) && existing.lpfnWndProc != WlxProc)
        UnregisterClassA(VIEWER_CLASS, host);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WlxProc;
    wc.cbWndExtra = VIEWER_EXTRA_BYTES;
    wc.hInstance = host;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = VIEWER_CLASS;
    RegisterClassA(&wc);
}

void create_children(HWND window, Viewer *viewer, int w, int h) {
    (void)w;
    (void)h;
    make_first_children(window, viewer);
}

// The child that shows the current tab: the grid on the Data tab (or the value view's text while
// a cell's value shows there), the text view on any other.
static HWND current_child(HWND window, const Viewer *viewer) {
    if (viewer->tab != TAB_DATA) return static_cast<HWND>(viewer->edit);
    HWND value = value_view_of(window);
    return value_view_open(value) ? value_view_text_view(value) : static_cast<HWND>(viewer->grid);
}

void show_first_tab(HWND window, Viewer *viewer) {
    show_tab(window, viewer, viewer->col_count > 0 ? TAB_DATA : TAB_SQL);
}

void show_tab(HWND window, Viewer *viewer, int t) {
    // The tab's child is made on its first visit.
    HWND grid = t == TAB_DATA ? grid_made(window, viewer) : static_cast<HWND>(viewer->grid);
    HWND edit = t != TAB_DATA ? text_view_made(window, viewer) : static_cast<HWND>(viewer->edit);
    // Another tab closes the value view; the Data tab made current again keeps it.
    HWND value = value_view_of(window);
    const bool keep_value = t == TAB_DATA && viewer->tab == TAB_DATA && value_view_open(value);
    viewer->tab = t;
    if (!keep_value) {
        value_view_close(value);
        ShowWindow(value, SW_HIDE);
    }
    if (keep_value) {
        SetFocus(value_view_text_view(value));
    } else if (t == TAB_DATA) {
        ShowWindow(edit, SW_HIDE);
        ShowWindow(grid, SW_SHOW);
        ensure_cell_visible(viewer);
        SetFocus(grid);
    } else {
        text_view_show_tab(edit, viewer, t);
        ShowWindow(grid, SW_HIDE);
        ShowWindow(edit, SW_SHOW);
        SetFocus(edit);
    }
    find_bar_tab_shown(find_bar_of(window), t);
    InvalidateRect(window, nullptr, FALSE);
}

// The status drawn in the bar is also the viewer window's text, where a program that reads
// windows finds it (the window has no caption that would show it). Stored as Unicode by the
// default procedure itself: the viewer is an 8-bit window, and a text sent to it would pass through
// the 8-bit code page.
static void show_status_as_title(HWND window, const char *status) {
    WCHAR wide[STATUS_LEN], had[STATUS_LEN];
    utf8_to_utf16(status, strlen(status), reinterpret_cast<uint16_t *>(wide), STATUS_LEN, nullptr);
    InternalGetWindowText(window, had, STATUS_LEN);
    if (lstrcmpW(had, wide) != 0)
        DefWindowProcW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide));
}

static void paint_bar(HWND window, Viewer *viewer) {
    const char *job = running_job_note(window);
    if (viewer) load_note_failure(viewer);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    const int dpi = window_dpi(window), bar_h = scaled_px(BAR_HEIGHT_96, dpi);
    const Palette palette = paint_palette();
    RECT bar = client;
    bar.bottom = bar_h;
    fill_colour(dc, &bar, palette.bar.back);
    RECT line = {client.left, bar_h - scaled_px(1, dpi), client.right, bar_h};
    fill_colour(dc, &line, palette.bar_rule);

    HGDIOBJ old_font = SelectObject(dc, bar_font(dpi));
    SetBkMode(dc, TRANSPARENT);
    if (viewer) {
        char status[STATUS_LEN], text[BAR_TEXT_LEN];
        HWND value = value_view_of(window);
        if (viewer->tab == TAB_DATA && value_view_open(value)) {
            value_view_describe(value, viewer, status, sizeof status);
        } else {
            const StatusParts parts = {viewer->work ? &viewer->work->filter : nullptr,
                                       status_sums(window, viewer)};
            format_grid_status(status, sizeof status, viewer, &parts);
        }
        // Work runs beside the grid, which shows the rows as they were until it ends.
        const char *notice = job ? job : notice_of(window);
        if (notice[0]) {
            size_t used = strlen(status);
            snprintf(status + used, sizeof status - used, "   \xE2\x80\x94   %s%s", notice,
                     job ? " Escape cancels" : "");
        }
        format_bar_text(text, sizeof text, viewer->tab, status);
        SetTextColor(dc, palette.bar.text);
        RECT where = {scaled_px(BAR_TEXT_X_96, dpi), scaled_px(BAR_TEXT_Y_96, dpi), client.right,
                      bar_h};
        // The status is UTF-8 (its dash at least); drawn as 8-bit text it would come out as
        // "â€”" under any code page but UTF-8.
        WCHAR wide[BAR_TEXT_LEN];
        utf8_to_utf16(text, strlen(text), reinterpret_cast<uint16_t *>(wide), BAR_TEXT_LEN,
                      nullptr);
        DrawTextW(dc, wide, -1, &where, DT_SINGLELINE);
        show_status_as_title(window, status);
    }
    SelectObject(dc, old_font);
    EndPaint(window, &ps);
}

// The find bar opened or closed: the children make room or take it back.
static void find_bar_shown(HWND window, Viewer *viewer, bool shown) {
    lay_out_children(window, viewer);
    InvalidateRect(window, nullptr, FALSE);
    if (!shown) SetFocus(current_child(window, viewer));
}

void show_count_news(HWND window, Viewer *viewer, unsigned news) {
    if (news & COUNT_COLUMNS) {
        if (viewer->work) sums_forget(&viewer->work->sums);
        populate_grid(viewer);
    } else if ((news & COUNT_ROWS) && !viewer->order.shown) {
        grid_rows_grew(viewer);
    }
    if (news & COUNT_DONE) count_ended(window, viewer);
    // A text tab shows its text as it stood: the Full SQL tab gets the rows, and a tab its
    // section, once they are known.
    if (viewer->tab != TAB_DATA &&
        ((news & COUNT_SECTIONS) ||
         ((news & COUNT_DONE) && viewer->tab != TAB_SQL && viewer->tab != TAB_INFO)))
        text_view_show_tab(static_cast<HWND>(viewer->edit), viewer, viewer->tab);
    InvalidateRect(window, nullptr, FALSE);
}

// The menu of the text tab's view or of the value view's, at the point clicked.
static void context_menu_from(HWND window, Viewer *viewer, HWND clicked, LPARAM lparam) {
    KeyPlace place;
    if (clicked == static_cast<HWND>(viewer->edit))
        place = PLACE_TEXT;
    else if (clicked == value_view_text_view(value_view_of(window)))
        place = PLACE_VALUE;
    else
        return;
    POINT at = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    run_command(window, viewer, {CMD_CONTEXT_MENU, 0}, place, lparam == -1 ? nullptr : &at);
}

// A finished job or the count's progress, taken up now, or once a menu of the viewer's has closed.
static void take_up(HWND window, Viewer *viewer, unsigned what) {
    ViewerWork *work = viewer->work;
    if (!work) return;
    if (work->menu_open) {
        work->put_off |= what;
        return;
    }
    if (what & PUT_OFF_JOB) job_done(window);
    if (what & PUT_OFF_COUNT) show_count_news(window, viewer, count_progressed(viewer));
    remake_if_due(window, viewer);
}

LRESULT CALLBACK WlxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ModuleFrame frame;
    Viewer *viewer = viewer_of(window);
    // Closed by the host while the module's frames were on the stack: it waits only for them.
    if (viewer_closing(viewer)) {
        if (message == WM_PAINT) ValidateRect(window, nullptr);
        return message == WM_PAINT ? 0 : DefWindowProcA(window, message, wparam, lparam);
    }
    switch (message) {
    case WM_CREATE: return 0;
    case WM_DESTROY:
        // A host that destroys the window without ListCloseWindow still ends the count and the
        // work.
        stop_job(window);
        stop_counting(viewer);
        notice_clear(window);
        KillTimer(window, SUMS_TIMER);
        return 0;
    case WM_SIZE:
        if (viewer) lay_out_children(window, viewer);
        return 0;
    case WM_DPICHANGED_AFTERPARENT:
        if (viewer) children_follow_scale(window, viewer);
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
        // Reach a child window only when the host passes them on; the views follow the theme at
        // their next paint anyway (high_contrast.h), the grid's own parts here.
        if (viewer && viewer->grid)
            SendMessageW(static_cast<HWND>(viewer->grid), message, wparam, lparam);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return DefWindowProcA(window, message, wparam, lparam);
    case WM_PAINT: paint_bar(window, viewer); return 0;
    case WM_NOTIFY: {
        const NMHDR *header = reinterpret_cast<const NMHDR *>(lparam);
        if (viewer && header && header->hwndFrom == static_cast<HWND>(viewer->grid))
            return grid_notify(viewer, header);
        return 0;
    }
    case WM_NOTIFYFORMAT:
        // The grid asks when it is created: Unicode notifications carry cell texts as UTF-16.
        if (lparam == NF_QUERY) return NFR_UNICODE;
        return DefWindowProcA(window, message, wparam, lparam);
    case WM_SHOWTAB:
        if (viewer) show_tab(window, viewer, static_cast<int>(wparam));
        return 0;
    case WM_VIEWER_KEY:
        return viewer &&
               viewer_key(window, viewer, wparam, static_cast<KeyPlace>(lparam & ~VIEWER_KEY_ALT),
                          (lparam & VIEWER_KEY_ALT) != 0);
    case WM_CONTEXTMENU:
        // A right click in a text view, passed up by its default procedure.
        if (viewer) context_menu_from(window, viewer, reinterpret_cast<HWND>(wparam), lparam);
        return 0;
    case WM_COUNT_PROGRESS:
        if (viewer) take_up(window, viewer, PUT_OFF_COUNT);
        return 0;
    case WM_JOB_DONE:
        if (viewer) take_up(window, viewer, PUT_OFF_JOB);
        return 0;
    case WM_FIND_BAR_SHOWN:
        if (viewer) find_bar_shown(window, viewer, wparam != 0);
        return 0;
    case WM_TIMER:
        if (viewer && wparam == SUMS_TIMER) sums_timer(window, viewer);
        return 0;
    case WM_SETFOCUS:
        // A host that focuses the viewer window itself would otherwise leave every key unheard:
        // the keyboard lives in the children.
        if (viewer) SetFocus(current_child(window, viewer));
        return 0;
    default: return DefWindowProcA(window, message, wparam, lparam);
    }
}
