// The Windows side's cost, measured the way the file manager meets it: ListLoad of a large dump
// next to load_file alone on the same file in the same process, ListLoad until the grid has
// painted its first screen, and the text tabs (see time_text_tabs). Medians of several
// repetitions, timed with QueryPerformanceCounter.
//
//   wine_bench FILE.pg [REPETITIONS [TAB_FILE.pg [sort|value]]]
//
// The text tabs are measured next, on TAB_FILE (FILE by default; "-" skips them); then, when asked,
// header clicks that sort FILE's grid, or Enter showing the value of FILE's first cell.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "document/load.h"

namespace {

typedef HWND(__stdcall *ListLoadFn)(HWND, char *, int);
typedef void(__stdcall *ListCloseWindowFn)(HWND);

const UINT WM_SHOWTAB = WM_USER + 11;
const int PAINT_BOUND_MS = 60000;

double now_ms() {
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void pump_pending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Dispatches messages until the grid is visible and has nothing left to paint, which it reaches
// only after asking the viewer for every visible cell's text. False when the bound passes first.
bool pump_until_painted(HWND grid) {
    double start = now_ms();
    for (;;) {
        pump_pending();
        if (IsWindowVisible(grid) && !GetUpdateRect(grid, nullptr, FALSE)) return true;
        if (now_ms() - start > PAINT_BOUND_MS) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

HWND create_lister(int w, int h) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "BenchLister";
    RegisterClassA(&wc);
    RECT r = {0, 0, w, h};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND lister = CreateWindowExA(0, "BenchLister", "Lister", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                  0, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    pump_pending();
    return lister;
}

void report(const char *what, const std::vector<double> &times, double reference) {
    double m = median(times);
    std::printf("%-40s %10.1f ms", what, m);
    if (reference > 0) std::printf("   %5.2f x load_file", m / reference);
    std::printf("   (median of %d)\n", static_cast<int>(times.size()));
    std::fflush(stdout);
}

// load_file alone, by this program's own copy of the core; 0 when the file is refused.
double time_load_file(const char *path) {
    Viewer viewer = {};
    double t0 = now_ms();
    int loaded = load_file(&viewer, path);
    double t1 = now_ms();
    viewer_free_blocks(&viewer);
    return loaded ? t1 - t0 : 0;
}

double max_of(const std::vector<double> &v) {
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

double min_of(const std::vector<double> &v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

// Memory the process has committed for itself.
double private_bytes() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(),
                         reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&counters), sizeof counters);
    return static_cast<double>(counters.PrivateUsage);
}

// A key as the keyboard delivers it to the focused view, Ctrl held or not.
void press(HWND view, UINT vk, bool ctrl) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(state);
    SendMessageA(view, WM_KEYDOWN, vk, 1);
    state[VK_CONTROL] = 0;
    SetKeyboardState(state);
}

// A tab switch as the digit keys make it, until the text view has painted what it shows.
double time_tab(HWND window, HWND view, int tab) {
    double t0 = now_ms();
    SendMessageA(window, WM_SHOWTAB, tab, 0);
    bool done = pump_until_painted(view);
    return done ? now_ms() - t0 : -1;
}

double time_key(HWND view, UINT vk, bool ctrl) {
    double t0 = now_ms();
    press(view, vk, ctrl);
    bool done = pump_until_painted(view);
    return done ? now_ms() - t0 : -1;
}

// The text tabs: the Full SQL tab's first visit, every later visit of a text tab, the caret to the
// end of the first line (all of it in view of a 1 MB line's cost) and to the text's end, and what
// the first visit adds to the process's memory against 8 bytes a line and 1 MiB.
void time_text_tabs(ListLoadFn list_load, ListCloseWindowFn list_close, HWND lister, char *path,
                    int reps, double load_file_ms) {
    std::vector<double> first, later, line_end, text_end, added;
    long long lines = 0;
    for (int i = 0; i < reps; ++i) {
        HWND window = list_load(lister, path, 0);
        if (!window) return;
        HWND grid = FindWindowExA(window, nullptr, "SysListView32", nullptr);
        HWND view = FindWindowExA(window, nullptr, "TavrinText", nullptr);
        if (IsWindowVisible(grid)) pump_until_painted(grid);
        double before = private_bytes();
        first.push_back(time_tab(window, view, 4));
        added.push_back(private_bytes() - before);
        lines = SendMessageA(view, EM_GETLINECOUNT, 0, 0);
        for (int tab : {2, 3, 4, 3, 2, 4}) later.push_back(time_tab(window, view, tab));
        line_end.push_back(time_key(view, VK_END, false));
        text_end.push_back(time_key(view, VK_END, true));
        list_close(window);
        pump_pending();
    }
    std::printf("file %s (%lld lines in the Full SQL tab)\n", path, lines);
    report("tab 4, first visit, until painted", first, load_file_ms);
    report("tab 2, 3 or 4, later visits", later, 0);
    std::printf("%-40s %10.1f ms\n", "  the slowest later visit", max_of(later));
    report("End on the first line, until painted", line_end, 0);
    report("Ctrl+End, until painted", text_end, 0);
    double budget = 8.0 * static_cast<double>(lines) + 1048576.0;
    std::printf("%-40s %10.0f bytes (goal <= %.0f, 8 bytes a line + 1 MiB: %s)\n",
                "memory added by the first visit", median(added), budget,
                median(added) <= budget ? "met" : "MISSED");
    std::fflush(stdout);
}

// A left click on column `col`'s header, until the grid has painted the rows in their new order.
double time_header_click(HWND grid, int col) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(grid, LVM_GETHEADER, 0, 0));
    RECT r = {};
    SendMessageA(header, HDM_GETITEMRECT, col, reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    double t0 = now_ms();
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
    bool done = pump_until_painted(grid);
    return done ? now_ms() - t0 : -1;
}

// Header clicks on the file's columns: ascending, descending and back to file order, each until
// painted; the goal is a second.
void time_sorting(ListLoadFn list_load, ListCloseWindowFn list_close, HWND lister, char *path,
                  int reps) {
    std::vector<double> clicks;
    for (int i = 0; i < reps; ++i) {
        HWND window = list_load(lister, path, 0);
        if (!window) return;
        HWND grid = FindWindowExA(window, nullptr, "SysListView32", nullptr);
        pump_until_painted(grid);
        for (int col : {0, 2, 3}) // an integer, a text and a numeric column
            for (int k = 0; k < 3; ++k) clicks.push_back(time_header_click(grid, col));
        list_close(window);
        pump_pending();
    }
    report("header click, until painted", clicks, 0);
    std::printf("%-40s %10.1f ms (goal <= 1000: %s)\n", "  the slowest header click",
                max_of(clicks), max_of(clicks) <= 1000 && min_of(clicks) >= 0 ? "met" : "MISSED");
    std::fflush(stdout);
}

// Enter on the first cell, until the value view has painted its value; the goal is 50 ms.
void time_value_view(ListLoadFn list_load, ListCloseWindowFn list_close, HWND lister, char *path,
                     int reps) {
    std::vector<double> opens;
    for (int i = 0; i < reps; ++i) {
        HWND window = list_load(lister, path, 0);
        if (!window) return;
        HWND grid = FindWindowExA(window, nullptr, "SysListView32", nullptr);
        HWND value = FindWindowExA(window, nullptr, "TavrinValue", nullptr);
        HWND text = value ? FindWindowExA(value, nullptr, "TavrinText", nullptr) : nullptr;
        pump_until_painted(grid);
        double t0 = now_ms();
        press(grid, VK_RETURN, false);
        bool done = text && pump_until_painted(text);
        opens.push_back(done ? now_ms() - t0 : -1);
        list_close(window);
        pump_pending();
    }
    std::printf("file %s\n", path);
    report("Enter: value view painted", opens, 0);
    std::printf("goal: the value view at most 50 ms: %s\n",
                median(opens) <= 50 && min_of(opens) >= 0 ? "met" : "MISSED");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2 || argc > 5) {
        std::fprintf(stderr,
                     "usage: wine_bench FILE.pg [REPETITIONS [TAB_FILE.pg [sort|value]]]\n");
        return 2;
    }
    const char *mode = argc == 5 ? argv[4] : "";
    char *path = argv[1];
    int reps = argc >= 3 ? std::atoi(argv[2]) : 5;
    if (reps < 1) reps = 1;

    HMODULE module = LoadLibraryA("tavrin.wlx64");
    ListLoadFn list_load =
        module ? reinterpret_cast<ListLoadFn>(GetProcAddress(module, "ListLoad")) : nullptr;
    ListCloseWindowFn list_close =
        module ? reinterpret_cast<ListCloseWindowFn>(GetProcAddress(module, "ListCloseWindow"))
               : nullptr;
    if (!list_load || !list_close) {
        std::fprintf(stderr, "cannot load tavrin.wlx64 from beside this program\n");
        return 1;
    }
    HWND lister = create_lister(1200, 800);
    char *tab_path = argc >= 4 ? argv[3] : path;

    std::vector<double> alone, returned, painted;
    for (int i = 0; i < reps; ++i) {
        double t = time_load_file(path);
        if (t <= 0) {
            std::fprintf(stderr, "load_file refused %s\n", path);
            return 1;
        }
        alone.push_back(t);

        // ListLoad returning, and the same call followed by the pump until the grid has painted.
        double t0 = now_ms();
        HWND window = list_load(lister, path, 0);
        double t1 = now_ms();
        if (!window) {
            std::fprintf(stderr, "ListLoad refused %s\n", path);
            return 1;
        }
        HWND grid = FindWindowExA(window, nullptr, "SysListView32", nullptr);
        bool done = grid && pump_until_painted(grid);
        double t2 = now_ms();
        returned.push_back(t1 - t0);
        if (done) painted.push_back(t2 - t0);
        list_close(window);
        pump_pending();
    }
    double reference = median(alone);
    std::printf("file %s\n", path);
    report("load_file alone", alone, 0);
    report("ListLoad", returned, reference);
    report("ListLoad + first paint of the grid", painted, reference);
    double ratio = painted.empty() ? 0 : median(painted) / reference;
    std::printf("goal: ListLoad + first paint at most 2 x load_file: %.2f, %s\n", ratio,
                !painted.empty() && ratio <= 2.0 ? "met" : "MISSED");
    std::fflush(stdout);

    if (std::strcmp(tab_path, "-") != 0)
        time_text_tabs(list_load, list_close, lister, tab_path, reps, reference);
    if (std::strcmp(mode, "sort") == 0) time_sorting(list_load, list_close, lister, path, reps);
    if (std::strcmp(mode, "value") == 0) time_value_view(list_load, list_close, lister, path, reps);
    DestroyWindow(lister);
    FreeLibrary(module);
    return 0;
}
