// The window's DPI, asked of the system in the one way each version of it offers.
#include "plugin/dpi.h"

namespace {

typedef UINT(WINAPI *GetDpiForWindowFn)(HWND);

// Windows 10 1607 and later: looked up, so that the module still loads on a system without it.
// Two threads looking it up at once find the same.
GetDpiForWindowFn dpi_for_window() {
    static GetDpiForWindowFn fn;
    static volatile LONG looked_up;
    if (!looked_up) {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        fn = user32 ? reinterpret_cast<GetDpiForWindowFn>(
                          reinterpret_cast<void *>(GetProcAddress(user32, "GetDpiForWindow")))
                    : nullptr;
        InterlockedExchange(&looked_up, 1);
    }
    return fn;
}

} // namespace

int screen_dpi(void) {
    HDC dc = GetDC(nullptr);
    int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : BASE_DPI;
}

int window_dpi(HWND window) {
    if (GetDpiForWindowFn fn = dpi_for_window())
        if (UINT dpi = window ? fn(window) : 0) return static_cast<int>(dpi);
    return screen_dpi();
}

int scaled_px(int px, int dpi) {
    int s = MulDiv(px, dpi, BASE_DPI);
    return px > 0 && s < 1 ? 1 : s;
}

int bar_height(HWND viewer_window) {
    return scaled_px(BAR_HEIGHT_96, window_dpi(viewer_window));
}
