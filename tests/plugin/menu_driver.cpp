// The menu driver: a thread timer, which the menu's modal loop dispatches, finds the menu window,
// reads its items and sends the keys that pick one.
#include "menu_driver.h"

namespace {

MenuDriver *g_driver = nullptr;
UINT_PTR g_timer = 0;
// Ticks since the keys were sent while a menu still shows: a pick that opened a submenu, or landed
// where Enter does nothing, is dismissed with Escape rather than left open for good.
int g_still_open = -1;

HWND open_menu_window() {
    HWND found = nullptr;
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
         w = FindWindowExW(nullptr, w, L"#32768", nullptr))
        if (IsWindowVisible(w)) found = w;
    return found;
}

void read_items(HMENU menu, std::vector<std::wstring> *items) {
    int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            items->push_back(L"-");
            continue;
        }
        wchar_t text[256] = L"";
        GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        items->push_back(text);
    }
}

void send_key(HWND menu_window, UINT vk) {
    PostMessageW(menu_window, WM_KEYDOWN, vk, 0);
    PostMessageW(menu_window, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000000u));
}

void CALLBACK on_timer(HWND, UINT, UINT_PTR, DWORD) {
    HWND window = open_menu_window();
    if (g_still_open >= 0) {
        if (!window) {
            KillTimer(nullptr, g_timer);
            g_timer = 0;
            g_still_open = -1;
        } else if (++g_still_open > 20) {
            send_key(window, VK_ESCAPE);
        }
        return;
    }
    if (!window || !g_driver) return;
    g_still_open = 0;
    MenuDriver *d = g_driver;
    g_driver = nullptr;
    d->opened = true;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    if (menu) read_items(menu, &d->items);
    if (d->pick.empty()) {
        send_key(window, VK_ESCAPE);
        return;
    }
    for (int i = 0; i <= d->pick[0]; ++i) send_key(window, VK_DOWN);
    if (d->pick.size() > 1) {
        send_key(window, VK_RIGHT);
        for (int i = 0; i < d->pick[1]; ++i) send_key(window, VK_DOWN);
    }
    send_key(window, VK_RETURN);
}

} // namespace

void arm_menu_driver(MenuDriver *driver) {
    disarm_menu_driver();
    g_still_open = -1;
    g_driver = driver;
    g_timer = SetTimer(nullptr, 0, 10, on_timer);
}

void disarm_menu_driver() {
    if (g_timer) KillTimer(nullptr, g_timer);
    g_timer = 0;
    g_driver = nullptr;
    g_still_open = -1;
}
