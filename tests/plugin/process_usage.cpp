// Test support: the process's memory and window-system objects, read through Win32 and PSAPI.
#include "process_usage.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>

static BOOL CALLBACK count_window(HWND, LPARAM count) {
    ++*reinterpret_cast<int *>(count);
    return TRUE;
}

static BOOL CALLBACK count_top_level(HWND window, LPARAM count) {
    ++*reinterpret_cast<int *>(count);
    EnumChildWindows(window, count_window, count);
    return TRUE;
}

ProcessUsage process_usage() {
    ProcessUsage u;
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&memory), sizeof memory)) {
        u.private_bytes = memory.PrivateUsage;
        u.working_set = memory.WorkingSetSize;
        u.pagefile = memory.PagefileUsage;
    }
    u.user_objects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    u.gdi_objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    EnumThreadWindows(GetCurrentThreadId(), count_top_level,
                      reinterpret_cast<LPARAM>(&u.thread_windows));
    return u;
}

static bool is_stock_font(HGDIOBJ font) {
    static const int stock[] = {OEM_FIXED_FONT,  ANSI_FIXED_FONT,     ANSI_VAR_FONT,
                                SYSTEM_FONT,     DEVICE_DEFAULT_FONT, SYSTEM_FIXED_FONT,
                                DEFAULT_GUI_FONT};
    return std::any_of(std::begin(stock), std::end(stock),
                       [&](int id) { return GetStockObject(id) == font; });
}

static void add_font_of(HWND window, std::vector<HFONT> *fonts) {
    auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    if (font && !is_stock_font(font) &&
        std::find(fonts->begin(), fonts->end(), font) == fonts->end())
        fonts->push_back(font);
}

static BOOL CALLBACK add_child_font(HWND window, LPARAM fonts) {
    add_font_of(window, reinterpret_cast<std::vector<HFONT> *>(fonts));
    return TRUE;
}

std::vector<HFONT> fonts_in_use(HWND window) {
    std::vector<HFONT> fonts;
    add_font_of(window, &fonts);
    EnumChildWindows(window, add_child_font, reinterpret_cast<LPARAM>(&fonts));
    return fonts;
}

std::string megabytes(uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}
