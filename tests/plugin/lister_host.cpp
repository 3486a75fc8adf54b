// Test support: the host side of the module, built from plain Win32 calls.
#include "lister_host.h"

Module load_module() {
    Module m;
    m.dll = LoadLibraryA("tavrin.wlx64");
    if (!m.dll) return m;
    m.ListLoad = reinterpret_cast<ListLoadFn>(GetProcAddress(m.dll, "ListLoad"));
    m.ListLoadNext = reinterpret_cast<ListLoadNextFn>(GetProcAddress(m.dll, "ListLoadNext"));
    m.ListCloseWindow =
        reinterpret_cast<ListCloseWindowFn>(GetProcAddress(m.dll, "ListCloseWindow"));
    m.ListGetDetectString =
        reinterpret_cast<ListGetDetectStringFn>(GetProcAddress(m.dll, "ListGetDetectString"));
    m.ListSendCommand =
        reinterpret_cast<ListSendCommandFn>(GetProcAddress(m.dll, "ListSendCommand"));
    return m;
}

void unload_module(Module *module) {
    if (module->dll) FreeLibrary(module->dll);
    *module = Module{};
}

static LRESULT CALLBACK ListerProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTA *>(lparam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *lister = reinterpret_cast<ListerWindow *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_KEYDOWN && lister) {
        lister->keys_received.push_back(wparam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

void create_lister(ListerWindow *lister, int client_w, int client_h) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ListerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "TestLister";
        RegisterClassA(&wc);
        registered = true;
    }
    RECT r = {0, 0, client_w, client_h};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    lister->hwnd = CreateWindowExA(0, "TestLister", "Lister", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                   0, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), lister);
}

void resize_lister(ListerWindow *lister, int client_w, int client_h) {
    RECT r = {0, 0, client_w, client_h};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    SetWindowPos(lister->hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER);
}

void pump_pending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool pump_until(const std::function<bool()> &done, int bound_ms) {
    DWORD start = GetTickCount();
    for (;;) {
        pump_pending();
        if (done()) return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= static_cast<DWORD>(bound_ms)) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(bound_ms) - elapsed,
                                  QS_ALLINPUT);
    }
}

std::vector<HWND> children_of_class(HWND parent, const char *class_name) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64];
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, class_name) == 0) found.push_back(child);
    }
    return found;
}

std::wstring window_text(HWND window) {
    int n = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(window, &text[0], n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

std::wstring status_text(HWND viewer) {
    WCHAR text[600] = L"";
    InternalGetWindowText(viewer, text, 600);
    return text;
}

std::string window_text_utf8(HWND window) {
    std::wstring wide = window_text(window);
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), &out[0], n,
                        nullptr, nullptr);
    return out;
}

std::wstring clipboard_text() {
    std::wstring out = L"<none>";
    if (!OpenClipboard(nullptr)) return L"<not opened>";
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    if (h) {
        const wchar_t *p = static_cast<const wchar_t *>(GlobalLock(h));
        if (p) out = p;
        GlobalUnlock(h);
    }
    CloseClipboard();
    return out;
}

void set_clipboard_text(const std::wstring &text) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    wchar_t *p = static_cast<wchar_t *>(GlobalLock(mem));
    memcpy(p, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(mem);
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        SetClipboardData(CF_UNICODETEXT, mem);
        CloseClipboard();
    }
}

void set_modifiers(bool ctrl, bool shift) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_LCONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_LSHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
}

static bool is_extended_key(UINT vk) {
    switch (vk) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE: return true;
    default: return false;
    }
}

void press_key(HWND target, UINT vk, bool ctrl, bool shift) {
    LPARAM down = 1 | static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
    if (is_extended_key(vk)) down |= 1 << 24;
    LPARAM up = down | static_cast<LPARAM>(3u) << 30;
    set_modifiers(ctrl, shift);
    PostMessageA(target, WM_KEYDOWN, vk, down);
    pump_pending();
    PostMessageA(target, WM_KEYUP, vk, up);
    pump_pending();
    set_modifiers(false, false);
}

void click(HWND target, POINT at, bool shift) {
    LPARAM where = MAKELPARAM(at.x, at.y);
    set_modifiers(false, shift);
    SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON | (shift ? MK_SHIFT : 0), where);
    SendMessageA(target, WM_LBUTTONUP, shift ? MK_SHIFT : 0, where);
    set_modifiers(false, false);
}

DWORD handles_held() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
    // SystemExtendedHandleInformation: a count, a reserved word, then an entry a handle.
    struct Entry {
        void *object;
        ULONG_PTR process;
        ULONG_PTR handle;
        ULONG access;
        USHORT creator;
        USHORT type;
        ULONG attributes;
        ULONG reserved;
    };
    typedef LONG(NTAPI * QueryFn)(ULONG, void *, ULONG, ULONG *);
    auto query = reinterpret_cast<QueryFn>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation"));
    if (!query) return 0;
    const LONG TOO_SMALL = static_cast<LONG>(0xC0000004);
    std::vector<char> table(1 << 20);
    LONG status;
    ULONG got = 0;
    while ((status = query(64, table.data(), static_cast<ULONG>(table.size()), &got)) == TOO_SMALL)
        table.resize(table.size() * 2);
    if (status != 0) return 0;
    const ULONG_PTR entries = *reinterpret_cast<ULONG_PTR *>(table.data());
    const Entry *entry = reinterpret_cast<Entry *>(table.data() + 2 * sizeof(ULONG_PTR));
    const ULONG_PTR me = GetCurrentProcessId();
    for (ULONG_PTR i = 0; i < entries; ++i) count += entry[i].process == me;
    return count;
}
