// The host's top-level window: opening files in the module, stepping through them, sizing the
// viewer, closing on Escape, and painting a refusal.
#include "host/host_window.h"

#include "host/detect_string.h"
#include "host/text_convert.h"

static const wchar_t kHostClass[] = L"TavrinHostWindow";

static Host *host_of(HWND window) {
    return reinterpret_cast<Host *>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

static void host_close_viewer(Host *host) {
    if (!host->viewer) return;
    host->module.ListCloseWindow(host->viewer);
    host->viewer = nullptr;
    host->focus = nullptr;
}

// The last component of a path, after its last slash or backslash.
static std::wstring file_name(const std::wstring &path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

static void show_refusal(Host *host, const std::wstring &why) {
    host_close_viewer(host);
    host->refusal = why;
    SetFocus(host->window);
    InvalidateRect(host->window, nullptr, TRUE);
}

// Opens or reloads the viewer on `path`; false when the module does not take the file.
static bool load_into_viewer(Host *host, const std::wstring &path) {
    if (host->module.ListLoadW) {
        std::wstring wide = path;
        if (host->viewer)
            return host->module.ListLoadNextW(host->window, host->viewer, &wide[0], 0) == 0;
        host->viewer = host->module.ListLoadW(host->window, &wide[0], 0);
        return host->viewer != nullptr;
    }
    std::string ansi = ansi_path(path);
    if (host->viewer)
        return host->module.ListLoadNext(host->window, host->viewer, &ansi[0], 0) == 0;
    host->viewer = host->module.ListLoad(host->window, &ansi[0], 0);
    return host->viewer != nullptr;
}

void host_open(Host *host, int index) {
    host->current = index;
    std::wstring path = wide_from_utf8(host->files[index]);
    SetWindowTextW(host->window, (L"tavrin \u2014 " + file_name(path)).c_str());

    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        show_refusal(host, L"No such file: " + path);
        return;
    }
    if (!detect_accepts(host->detect.c_str(), host->files[index].c_str())) {
        show_refusal(host, L"Not a file this viewer takes (" + wide_from_utf8(host->detect) +
                               L"): " + path);
        return;
    }
    if (!load_into_viewer(host, path)) {
        // A refused ListLoadNext leaves the previous file on view; the title already names the
        // new one, so the viewer goes and the refusal shows instead.
        show_refusal(host, L"Not a dump container: " + path);
        return;
    }
    host->refusal.clear();
    host->shown_any = true;
}

bool host_take_message(Host *host, const MSG *msg) {
    if (msg->message != WM_SYSKEYDOWN || !host->window) return false;
    if (msg->hwnd != host->window && !IsChild(host->window, msg->hwnd)) return false;
    bool alt = (msg->lParam & (1 << 29)) != 0; // the key's context code: Alt is held
    if (!alt || (msg->wParam != VK_RIGHT && msg->wParam != VK_LEFT)) return false;
    int next = host->current + (msg->wParam == VK_RIGHT ? 1 : -1);
    if (next >= 0 && next < static_cast<int>(host->files.size())) host_open(host, next);
    return true;
}

static void paint_refusal(HWND window, const Host *host) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (host && !host->viewer && !host->refusal.empty()) {
        RECT room;
        GetClientRect(window, &room);
        InflateRect(&room, -20, -20);
        HGDIOBJ old_font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawTextW(dc, host->refusal.c_str(), -1, &room,
                  DT_LEFT | DT_TOP | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
        SelectObject(dc, old_font);
    }
    EndPaint(window, &ps);
}

// Activation gives the focus to the top-level window; the viewer child that had it gets it back,
// or else the viewer's visible child, the way the file manager hands its Lister's focus on.
static void pass_focus_on(Host *host) {
    if (!host->viewer) return;
    HWND target = host->focus && IsChild(host->viewer, host->focus) ? host->focus : nullptr;
    for (HWND child = GetWindow(host->viewer, GW_CHILD); child && !target;
         child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child)) target = child;
    SetFocus(target ? target : host->viewer);
}

static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    Host *host = host_of(window);
    if (!host) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_SIZE:
        if (host->viewer) MoveWindow(host->viewer, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
        return 0;
    case WM_PAINT: paint_refusal(window, host); return 0;
    case WM_KEYDOWN:
        // The module posts Escape here to hand the key to its host, which closes the viewer.
        if (wparam == VK_ESCAPE) {
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wparam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (host->viewer && focus && IsChild(host->viewer, focus)) host->focus = focus;
        }
        break;
    case WM_SETFOCUS: pass_focus_on(host); return 0;
    case WM_DESTROY:
        host_close_viewer(host);
        host->window = nullptr;
        PostQuitMessage(0);
        return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

bool host_create_window(Host *host, int client_width, int client_height, bool at_origin) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW; // a refusal is laid out on the whole client area
    wc.lpfnWndProc = HostProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kHostClass;
    RegisterClassW(&wc);

    DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT frame = {0, 0, client_width, client_height};
    AdjustWindowRect(&frame, style, FALSE);
    int x = at_origin ? 0 : CW_USEDEFAULT, y = at_origin ? 0 : CW_USEDEFAULT;
    host->window = CreateWindowExW(0, kHostClass, L"tavrin", style, x, y, frame.right - frame.left,
                                   frame.bottom - frame.top, nullptr, nullptr, instance, host);
    if (!host->window) return false;
    ShowWindow(host->window, SW_SHOW);
    UpdateWindow(host->window);
    return true;
}
