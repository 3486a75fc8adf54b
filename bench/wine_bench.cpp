// The Windows side's cost, measured the way the file manager meets it: ListLoad of a large dump
// next to load_file alone on the same file in the same process, ListLoad until the grid has
// painted its first screen, and the switch to the Full SQL tab. Medians of several repetitions,
// timed with QueryPerformanceCounter.
//
//   wine_bench FILE.pg [REPETITIONS [TAB_FILE.pg]]
//
// The Full SQL tab is measured last, on TAB_FILE (FILE by default; "-" skips it): the text view's
// cost grows with the script's lines, and a smaller file shows the same per-byte rate in less time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "document/load.h"
#include "document/tab_text.h"

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

double time_compose_full_sql(const char *path) {
    Viewer viewer = {};
    if (!load_file(&viewer, path)) return 0;
    double t0 = now_ms();
    compose_full_sql(&viewer);
    double t1 = now_ms();
    viewer_free_blocks(&viewer);
    return t1 - t0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: wine_bench FILE.pg [REPETITIONS [TAB_FILE.pg]]\n");
        return 2;
    }
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
    char *tab_path = argc == 4 ? argv[3] : path;

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

    // The Full SQL tab on its first visit: compose, convert to UTF-16, set into the text view.
    std::vector<double> compose, tab;
    int tab_reps = std::strcmp(tab_path, "-") == 0 ? 0 : reps < 3 ? reps : 3;
    for (int i = 0; i < tab_reps; ++i) {
        compose.push_back(time_compose_full_sql(tab_path));
        HWND window = list_load(lister, tab_path, 0);
        if (!window) break;
        pump_pending();
        double t0 = now_ms();
        SendMessageA(window, WM_SHOWTAB, 4, 0);
        double t1 = now_ms();
        tab.push_back(t1 - t0);
        list_close(window);
        pump_pending();
    }
    if (tab_reps > 0) {
        std::printf("file %s\n", tab_path);
        report("compose_full_sql alone", compose, 0);
        report("WM_SHOWTAB 4 (Full SQL, first visit)", tab, 0);
    }
    DestroyWindow(lister);
    FreeLibrary(module);
    return 0;
}
