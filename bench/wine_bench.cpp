// The Windows side's cost, measured the way the file manager meets it: ListLoad of a large dump
// next to load_file alone on the same file in the same process, ListLoad until the grid has
// painted its first screen against one read of the file that counts its line feeds, and the text
// tabs (see time_text_tabs). Medians of several repetitions, timed with QueryPerformanceCounter.
//
//   wine_bench FILE.pg [REPETITIONS [TAB_FILE.pg [sort|value|answers|big BIG.pg]]]
//   wine_bench FILE.pg REPETITIONS - copy
//   wine_bench FILE.pg REPETITIONS - first OTHER.pg...
//
// The text tabs are measured next, on TAB_FILE (FILE by default; "-" skips them); then, when asked,
// header clicks that sort FILE's grid, Enter showing the value of FILE's first cell, the questions
// asked of FILE's grid (see time_answers), or a file of gigabytes (see time_big_file) set against
// FILE. "first" sets the first screen of files of other
// shapes against FILE's (see time_first_screens). "copy" measures only select all and copy of
// FILE's grid (see time_copy), in a process that has done nothing else, so that its memory is the
// copy's own.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
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

PROCESS_MEMORY_COUNTERS_EX memory_counters() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(),
                         reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&counters), sizeof counters);
    return counters;
}

// Memory the process has committed for itself: its private usage, or where the system leaves that
// 0 (some Wine versions) the pagefile figure, which Wine fills with the anonymous resident pages.
// Neither counts the pages of a mapped file.
double private_bytes() {
    PROCESS_MEMORY_COUNTERS_EX counters = memory_counters();
    return static_cast<double>(counters.PrivateUsage ? counters.PrivateUsage
                                                     : counters.PagefileUsage);
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

// The viewer's text view; made on the first visit of a text tab.
HWND text_view_of(HWND window) {
    return FindWindowExA(window, nullptr, "TavrinText", nullptr);
}

// A tab switch as the digit keys make it, until the text view has painted what it shows (the
// first switch to a text tab makes the view).
double time_tab(HWND window, int tab) {
    double t0 = now_ms();
    SendMessageA(window, WM_SHOWTAB, tab, 0);
    HWND view = text_view_of(window);
    bool done = view && pump_until_painted(view);
    return done ? now_ms() - t0 : -1;
}

double time_key(HWND view, UINT vk, bool ctrl) {
    double t0 = now_ms();
    press(view, vk, ctrl);
    bool done = pump_until_painted(view);
    return done ? now_ms() - t0 : -1;
}

bool pump_until_counted(HWND window, int bound_ms, HWND grid, double *longest_repaint);

// The text tabs: the Full SQL tab's first visit (which makes the text view), every later visit of a
// text tab, the caret to the end of the first line (all of it in view of a 1 MB line's cost) and to
// the text's end, and what the first visit adds to the process's memory against 8 bytes a line and
// 1 MiB.
void time_text_tabs(ListLoadFn list_load, ListCloseWindowFn list_close, HWND lister, char *path,
                    int reps, double load_file_ms) {
    std::vector<double> first, later, line_end, text_end, added;
    long long lines = 0;
    for (int i = 0; i < reps; ++i) {
        HWND window = list_load(lister, path, 0);
        if (!window) return;
        HWND grid = FindWindowExA(window, nullptr, "SysListView32", nullptr);
        if (IsWindowVisible(grid)) pump_until_painted(grid);
        // The whole text, not the part of it counted by then: the count ends first.
        pump_until_counted(window, 60000, nullptr, nullptr);
        double before = private_bytes();
        first.push_back(time_tab(window, 4));
        added.push_back(private_bytes() - before);
        HWND view = text_view_of(window);
        lines = SendMessageA(view, EM_GETLINECOUNT, 0, 0);
        for (int tab : {2, 3, 4, 3, 2, 4}) later.push_back(time_tab(window, tab));
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

// The viewer's status line (its window's own text).
std::wstring status_of(HWND window) {
    WCHAR text[1024] = L"";
    InternalGetWindowText(window, text, 1024);
    return text;
}

// Dispatches messages until `done` holds; false when the bound passes first.
template <typename Done> bool pump_until_true(Done done) {
    double start = now_ms();
    for (;;) {
        pump_pending();
        if (done()) return true;
        if (now_ms() - start > PAINT_BOUND_MS) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// No long work running: the status line, painted now, names none.
bool no_work(HWND window) {
    UpdateWindow(window);
    return status_of(window).find(L"Escape cancels") == std::wstring::npos;
}

// A left click on column `col`'s header, until the grid has painted the rows in their new order:
// the order is made beside the grid, which paints the rows as they were meanwhile, so the wait is
// for the work's end and then for the paint.
double time_header_click(HWND grid, int col) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(grid, LVM_GETHEADER, 0, 0));
    RECT r = {};
    SendMessageA(header, HDM_GETITEMRECT, col, reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    double t0 = now_ms();
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
    HWND window = GetParent(grid);
    bool done = pump_until_true([&] { return no_work(window); }) && pump_until_painted(grid);
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
        pump_until_counted(window, 60000, nullptr, nullptr); // sorted once, over every row
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
        pump_until_painted(grid);
        double t0 = now_ms();
        press(grid, VK_RETURN, false);
        // Made by the first Enter.
        HWND value = FindWindowExA(window, nullptr, "TavrinValue", nullptr);
        HWND text = value ? FindWindowExA(value, nullptr, "TavrinText", nullptr) : nullptr;
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

// A key with Ctrl and Shift as given, sent to `view` as the keyboard would.
void press_with(HWND view, UINT vk, bool ctrl, bool shift) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
    SendMessageA(view, WM_KEYDOWN, vk, 1);
    state[VK_CONTROL] = state[VK_SHIFT] = 0;
    SetKeyboardState(state);
}

// The questions asked of FILE's grid, each from the key or click until the viewer shows its answer
// painted: a column's summary (Ctrl+I on c3, numeric, until the value view has painted it); a sort
// by one key (a click on c4, a date) and by two (a Shift+click on c3 after it), until the grid has
// painted, the goal being two keys within twice one; a condition typed into the filter bar, until
// the grid shows its rows; the sums of the whole grid (Ctrl+A, until the status line shows them,
// 300 ms of waiting for the keys to stop among them); and Ctrl+G to the middle row.
void time_answers(ListLoadFn list_load, ListCloseWindowFn list_close, HWND lister, char *path,
                  int reps) {
    std::vector<double> summary, one_key, two_keys, condition, sums, go_to;
    for (int i = 0; i < reps; ++i) {
        HWND window = list_load(lister, path, 0);
        if (!window) return;
        HWND grid = FindWindowExA(window, nullptr, "SysListView32", nullptr);
        pump_until_painted(grid);
        pump_until_true([&] { return status_of(window).find(L"counting") == std::wstring::npos; });

        for (int k = 0; k < 3; ++k) press_with(grid, VK_RIGHT, false, false);
        double t0 = now_ms();
        press_with(grid, 'I', true, false);
        HWND value = nullptr, text = nullptr;
        bool done = pump_until_true([&] {
            value = FindWindowExA(window, nullptr, "TavrinValue", nullptr);
            text = value ? FindWindowExA(value, nullptr, "TavrinText", nullptr) : nullptr;
            return text && IsWindowVisible(text) && no_work(window);
        });
        done = done && pump_until_painted(text);
        summary.push_back(done ? now_ms() - t0 : -1);
        press_with(text, VK_ESCAPE, false, false);
        pump_until_painted(grid);

        HWND header = reinterpret_cast<HWND>(SendMessageA(grid, LVM_GETHEADER, 0, 0));
        auto header_click = [&](int col, bool shift) {
            RECT r = {};
            SendMessageA(header, HDM_GETITEMRECT, col, reinterpret_cast<LPARAM>(&r));
            const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            BYTE state[256];
            GetKeyboardState(state);
            state[VK_SHIFT] = shift ? 0x80 : 0;
            SetKeyboardState(state);
            const double t = now_ms();
            SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageA(header, WM_LBUTTONUP, 0, at);
            state[VK_SHIFT] = 0;
            SetKeyboardState(state);
            const bool painted =
                pump_until_true([&] { return no_work(window); }) && pump_until_painted(grid);
            return painted ? now_ms() - t : -1;
        };
        one_key.push_back(header_click(4, false));
        header_click(4, false); // descending
        header_click(4, false); // file order
        header_click(4, false);
        two_keys.push_back(header_click(3, true));

        press_with(grid, 'F', true, true);
        HWND bar = FindWindowExA(window, nullptr, "TavrinFindBar", nullptr);
        HWND field = bar ? FindWindowExA(bar, nullptr, "Edit", nullptr) : nullptr;
        if (field) {
            t0 = now_ms();
            SetWindowTextW(field, L"c3 > 50000 AND c4 >= '2010-01-01'");
            done = pump_until_true([&] {
                return no_work(window) &&
                       status_of(window).find(L"of 1,000,000 rows") != std::wstring::npos;
            });
            done = done && pump_until_painted(grid);
            condition.push_back(done ? now_ms() - t0 : -1);
            press_with(field, VK_ESCAPE, false, false);
            pump_until_true([&] { return no_work(window); });
        }

        pump_until_painted(grid);
        t0 = now_ms();
        press_with(grid, 'A', true, false);
        done = pump_until_true([&] {
            const std::wstring status = status_of(window);
            const size_t at = status.find(L"Count ");
            return at != std::wstring::npos && at + 6 < status.size() && iswdigit(status[at + 6]) &&
                   no_work(window);
        });
        sums.push_back(done ? now_ms() - t0 : -1);
        press_with(grid, VK_HOME, true, false);
        pump_until_painted(grid);

        t0 = now_ms();
        press_with(grid, 'G', true, false);
        field = bar ? FindWindowExA(bar, nullptr, "Edit", nullptr) : nullptr;
        if (field) {
            SetWindowTextW(field, L"500,000");
            press_with(field, VK_RETURN, false, false);
            done = pump_until_painted(grid);
            go_to.push_back(done ? now_ms() - t0 : -1);
        }
        list_close(window);
        pump_pending();
    }
    std::printf("file %s\n", path);
    report("Ctrl+I: a numeric column's summary", summary, 0);
    report("a click: sorted by a date", one_key, 0);
    report("then Shift+click: by the date and a number", two_keys, 0);
    std::printf("goal: two keys within twice one: %s\n",
                median(two_keys) <= 2 * median(one_key) && min_of(two_keys) >= 0 ? "met"
                                                                                 : "MISSED");
    report("a condition typed in the filter bar", condition, 0);
    report("Ctrl+A: the sums of every cell shown", sums, 0);
    report("Ctrl+G 500,000 Enter, until painted", go_to, 0);
    std::fflush(stdout);
}

// One read of the whole file through ReadFile in blocks of 1 MiB, counting its line feeds with
// memchr: the least any count of the file's rows must do. Milliseconds, the file opened and closed
// within them, or -1 when it cannot be read; `lines` gets the line feeds.
double time_read_pass(const char *path, long long *lines) {
    const DWORD BLOCK = 1u << 20;
    static char block[BLOCK];
    double t0 = now_ms();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    long long n = 0;
    DWORD got = 0;
    BOOL read = FALSE;
    while ((read = ReadFile(file, block, BLOCK, &got, nullptr)) && got > 0) {
        const char *end = block + got;
        for (const char *p = block; (p = static_cast<const char *>(std::memchr(p, '\n', end - p)));
             ++p)
            ++n;
    }
    CloseHandle(file);
    double t = now_ms() - t0;
    *lines = n;
    return read ? t : -1;
}

// `reps` read passes after one that brings the file into the cache, as a file just viewed in the
// file manager is; none when the file cannot be read.
std::vector<double> read_passes(const char *path, int reps, long long *lines) {
    std::vector<double> passes;
    if (time_read_pass(path, lines) < 0) return passes;
    for (int i = 0; i < reps; ++i) passes.push_back(time_read_pass(path, lines));
    if (min_of(passes) < 0) passes.clear();
    return passes;
}

// Whether the viewer still says it is counting rows. Its status is its window text, written when
// the bar paints, so a viewer that has not painted yet counts as still counting.
bool still_counting(HWND window) {
    WCHAR text[256];
    return InternalGetWindowText(window, text, 256) == 0 || std::wcsstr(text, L"counting\u2026");
}

// Dispatches messages until the viewer's status no longer says it is counting. With `grid`, asks
// the grid to paint again each time it has painted, as scrolling through it does, and keeps in
// `longest_repaint` the longest a paint took to come (a paint still awaited at the end counting
// as long as it waited). False when the bound passes first.
bool pump_until_counted(HWND window, int bound_ms, HWND grid, double *longest_repaint) {
    double start = now_ms(), asked = -1;
    for (;;) {
        pump_pending();
        const bool counted = !still_counting(window);
        double now = now_ms();
        if (grid && (counted || !GetUpdateRect(grid, nullptr, FALSE))) {
            if (asked >= 0) *longest_repaint = std::max(*longest_repaint, now - asked);
            InvalidateRect(grid, nullptr, FALSE);
            asked = now;
        }
        if (counted) return true;
        if (now - start > bound_ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Waits for a thread of this program that may send to this thread's windows, answering them.
void wait_pumping(HANDLE thread) {
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        pump_pending();
    CloseHandle(thread);
}

// A second thread sending to the viewer window again and again while the window's thread pumps,
// as another program or the file manager's other threads do: the longest wait for an answer is
// the longest the viewer keeps the file manager from answering anyone. `since` is when the viewer
// was asked to load; `longest_at` when the longest wait began, counted from then.
struct Pinger {
    HWND window;
    double since;
    HANDLE thread;
    volatile LONG stop;
    double longest, longest_at;
    long answered, unanswered, over_50ms;
};

DWORD WINAPI ping_until_stopped(void *arg) {
    Pinger *p = static_cast<Pinger *>(arg);
    while (!p->stop) {
        DWORD_PTR result = 0;
        double t0 = now_ms();
        bool answered =
            SendMessageTimeoutW(p->window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
        double waited = now_ms() - t0;
        ++(answered ? p->answered : p->unanswered);
        if (waited > 50) ++p->over_50ms;
        if (waited > p->longest) {
            p->longest = waited;
            p->longest_at = t0 - p->since;
        }
        Sleep(1);
    }
    return 0;
}

// A second thread reading the process's memory about once a millisecond while the window's thread
// works: the most it saw once `go` was set. Wine's own peak figures are the current ones. The
// thread says `ready` after its first reading, so that its own stack is in the figure the caller
// then takes as the start.
struct Sampler {
    HANDLE thread;
    volatile LONG ready, go, stop;
    double most;
};

DWORD WINAPI sample_until_stopped(void *arg) {
    Sampler *s = static_cast<Sampler *>(arg);
    for (;;) {
        double now = private_bytes();
        if (s->go && now > s->most) s->most = now;
        InterlockedExchange(&s->ready, 1);
        if (s->stop) return 0;
        Sleep(1);
    }
}

const int COUNT_BOUND_MS = 600000;

const char *verdict(bool met) {
    return met ? "met" : "MISSED";
}

// WM_GETTEXTLENGTH and WM_GETTEXT of the viewer's Full SQL tab, as a program reading the text view
// as an edit control sends them: the first length (counted, not yet cached) and the text into a
// buffer of that length. Milliseconds each into `length_ms` and `text_ms`; the answer into
// `units`. The tab is left showing.
void time_text_messages(HWND window, std::vector<double> *length_ms, std::vector<double> *text_ms,
                        long long *units) {
    if (time_tab(window, 4) < 0) return;
    HWND view = text_view_of(window);
    double t0 = now_ms();
    LRESULT length = SendMessageW(view, WM_GETTEXTLENGTH, 0, 0);
    double t1 = now_ms();
    std::vector<WCHAR> text(static_cast<size_t>(length > 0 ? length : 0) + 1);
    double t2 = now_ms();
    LRESULT copied =
        SendMessageW(view, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    double t3 = now_ms();
    length_ms->push_back(t1 - t0);
    text_ms->push_back(copied == length ? t3 - t2 : -1);
    *units = static_cast<long long>(length);
}

void report_text_messages(const std::vector<double> &length_ms, const std::vector<double> &text_ms,
                          long long units) {
    if (length_ms.empty()) return;
    std::printf("the Full SQL tab's WM_GETTEXTLENGTH answers %lld (GetWindowTextLengthW: %d)\n",
                units, static_cast<int>(units));
    report("WM_GETTEXTLENGTH, counted", length_ms, 0);
    report("WM_GETTEXT of that many units", text_ms, 0);
    const double worst = std::max(max_of(length_ms), max_of(text_ms));
    std::printf("goal: each answered within 50 ms, the length within INT_MAX: the slowest %.1f "
                "ms, %s\n",
                worst,
                verdict(worst <= 50 && min_of(text_ms) >= 0 && units >= 0 && units <= 0x7FFFFFFF));
    std::fflush(stdout);
}

// A dump of gigabytes after the smaller FILE in the same process (`small_first_screen`, FILE's
// ListLoad until its first paint): ListLoad until the grid has painted, against FILE's; ListLoad
// until the status says every row is counted, against one read-and-memchr pass over the file;
// the private memory the count adds, against the row index's 8 bytes a row and 64 MiB; and the
// longest a message sent to the viewer waited for its answer meanwhile. Then one more count with
// the grid painting again and again, as while the user scrolls: the longest a paint waited.
void time_big_file(ListLoadFn list_load, ListCloseWindowFn list_close, HWND lister, char *path,
                   int reps, double small_first_screen) {
    long long lines = 0;
    const std::vector<double> passes = read_passes(path, reps, &lines);
    if (passes.empty()) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return;
    }
    const double pass = median(passes);
    std::vector<double> returned, first, counted, added, length_ms, text_ms;
    long long units = -1;
    Pinger worst = {};
    long answered = 0, unanswered = 0, slow = 0;
    double longest_repaint = 0;
    LRESULT rows = 0;
    for (int i = 0; i <= reps; ++i) {
        const bool repainting = i == reps;
        double before = private_bytes();
        double t0 = now_ms();
        HWND window = list_load(lister, path, 0);
        double t1 = now_ms();
        if (!window) {
            std::fprintf(stderr, "ListLoad refused %s\n", path);
            return;
        }
        Pinger pinger = {window, t0, nullptr, 0, 0, 0, 0, 0, 0};
        if (!repainting)
            pinger.thread = CreateThread(nullptr, 0, ping_until_stopped, &pinger, 0, nullptr);
        HWND grid = FindWindowExA(window, nullptr, "SysListView32", nullptr);
        bool painted = grid && pump_until_painted(grid);
        double t2 = now_ms();
        bool done = pump_until_counted(window, COUNT_BOUND_MS, repainting ? grid : nullptr,
                                       &longest_repaint);
        double t3 = now_ms();
        double after = private_bytes();
        InterlockedExchange(&pinger.stop, 1);
        if (pinger.thread) wait_pumping(pinger.thread);
        rows = SendMessageA(grid, LVM_GETITEMCOUNT, 0, 0);
        if (done && !repainting) time_text_messages(window, &length_ms, &text_ms, &units);
        list_close(window);
        pump_pending();
        if (repainting) break;
        returned.push_back(t1 - t0);
        if (painted) first.push_back(t2 - t0);
        if (done) {
            counted.push_back(t3 - t0);
            added.push_back(after - before);
        }
        if (pinger.longest > worst.longest) worst = pinger;
        answered += pinger.answered;
        unanswered += pinger.unanswered;
        slow += pinger.over_50ms;
    }
    std::printf("file %s (%lld line feeds, %ld rows in the grid)\n", path, lines,
                static_cast<long>(rows));
    report("one read-and-memchr pass", passes, 0);
    report("ListLoad", returned, 0);
    report("ListLoad + first paint of the grid", first, 0);
    double first_ratio = first.empty() ? 0 : median(first) / small_first_screen;
    std::printf("goal: its first paint at most 2 x the smaller file's (%.1f ms): %.2f, %s\n",
                small_first_screen, first_ratio, verdict(!first.empty() && first_ratio <= 2.0));
    report("ListLoad until every row is counted", counted, 0);
    double count_ratio = counted.empty() ? 0 : median(counted) / pass;
    std::printf("goal: the whole count at most 1.5 x one read-and-memchr pass: %.2f, %s\n",
                count_ratio, verdict(!counted.empty() && count_ratio <= 1.5));
    double grown = added.empty() ? 0 : median(added);
    double budget = 8.0 * static_cast<double>(rows) + 64.0 * 1048576.0;
    std::printf("goal: private memory the count adds %.0f bytes (%.2f a row) at most 8 bytes a "
                "row + 64 MiB = %.0f: %s\n",
                grown, rows ? grown / static_cast<double>(rows) : 0.0, budget,
                verdict(!added.empty() && grown <= budget));
    std::printf("goal: the longest wait for an answer while counting %.1f ms, at %.0f ms after "
                "ListLoad (%ld answered, %ld of them after more than 50 ms, %ld not) at most 50 "
                "ms: %s\n",
                worst.longest, worst.longest_at, answered, slow, unanswered,
                verdict(answered > 0 && unanswered == 0 && worst.longest <= 50));
    std::printf("%-40s %10.1f ms\n", "the longest wait for a repaint while counting",
                longest_repaint);
    report_text_messages(length_ms, text_ms, units);
    std::fflush(stdout);
}

// ListLoad of files of other shapes (rows of megabytes, a data block after a long SQL section)
// until the tab it opens on has painted, against FILE's first screen (`small_first_screen`); the
// status line it then shows; and once counted, the Full SQL tab's text messages.
void time_first_screens(ListLoadFn list_load, ListCloseWindowFn list_close, HWND lister,
                        char **paths, int count, int reps, double small_first_screen) {
    for (int p = 0; p < count; ++p) {
        std::vector<double> returned, first, length_ms, text_ms;
        long long units = -1;
        WCHAR status[256] = L"";
        for (int i = 0; i < reps; ++i) {
            double t0 = now_ms();
            HWND window = list_load(lister, paths[p], 0);
            double t1 = now_ms();
            if (!window) {
                std::fprintf(stderr, "ListLoad refused %s\n", paths[p]);
                return;
            }
            HWND grid = FindWindowExA(window, nullptr, "SysListView32", nullptr);
            HWND view = FindWindowExA(window, nullptr, "TavrinText", nullptr);
            bool painted = pump_until_painted(IsWindowVisible(grid) ? grid : view);
            double t2 = now_ms();
            returned.push_back(t1 - t0);
            if (painted) first.push_back(t2 - t0);
            InternalGetWindowText(window, status, 256);
            if (pump_until_counted(window, COUNT_BOUND_MS, nullptr, nullptr))
                time_text_messages(window, &length_ms, &text_ms, &units);
            list_close(window);
            pump_pending();
        }
        std::printf("file %s\n", paths[p]);
        char utf8[512];
        WideCharToMultiByte(CP_UTF8, 0, status, -1, utf8, sizeof utf8, nullptr, nullptr);
        std::printf("%-40s %s\n", "the status at the first paint", utf8);
        report("ListLoad", returned, 0);
        report("ListLoad + first paint", first, 0);
        double ratio = first.empty() ? 0 : median(first) / small_first_screen;
        std::printf("goal: its first paint at most 2 x the smaller file's (%.1f ms): %.2f, %s\n",
                    small_first_screen, ratio, verdict(!first.empty() && ratio <= 2.0));
        report_text_messages(length_ms, text_ms, units);
    }
}

// The clipboard emptied, so that no copy before holds memory a new copy would free.
void empty_clipboard(HWND owner) {
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    CloseClipboard();
}

// The UTF-16 units of the clipboard's Unicode text (its 0 left out), and its line feeds; -1 when
// it holds none.
long long clipboard_units(HWND owner, long long *lines) {
    long long units = -1;
    *lines = 0;
    if (!OpenClipboard(owner)) return -1;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const WCHAR *text = data ? static_cast<const WCHAR *>(GlobalLock(data)) : nullptr;
    if (text) {
        units = static_cast<long long>(std::wcslen(text));
        for (const WCHAR *p = text; (p = std::wcschr(p, L'\n')); ++p) ++*lines;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return units;
}

// A block of `units` UTF-16 units and its 0, filled and set on the clipboard by itself: what any
// copy of a text that long pays at least, the system's part of a copy. Milliseconds.
double time_clipboard_alone(HWND owner, long long units) {
    double t0 = now_ms();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(units + 1) * sizeof(WCHAR));
    WCHAR *text = mem ? static_cast<WCHAR *>(GlobalLock(mem)) : nullptr;
    if (!text) {
        if (mem) GlobalFree(mem);
        return -1;
    }
    std::wmemset(text, L'x', static_cast<size_t>(units));
    text[units] = 0;
    GlobalUnlock(mem);
    bool set = false;
    if (OpenClipboard(owner)) {
        EmptyClipboard();
        set = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
        CloseClipboard();
    }
    if (!set) GlobalFree(mem);
    double t = now_ms() - t0;
    empty_clipboard(owner);
    return set ? t : -1;
}

// Ctrl+A and Ctrl+C in the grid of FILE, every row counted, until the clipboard holds the text,
// against one read-and-memchr pass over the file; and the most memory the copy adds while it runs
// (sampled, and from the system's peak figure where it keeps one), against the clipboard's block
// of 2 bytes a UTF-16 unit and 1 MiB. A block as large set on the clipboard alone is given too.
void time_copy(ListLoadFn list_load, ListCloseWindowFn list_close, HWND lister, char *path,
               int reps) {
    long long lines = 0;
    const std::vector<double> passes = read_passes(path, reps, &lines);
    if (passes.empty()) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return;
    }
    const double pass = median(passes);
    std::vector<double> copies, alone;
    double worst_added = 0, worst_over = -1e300;
    long long units = -1, copied_lines = 0;
    for (int i = 0; i < reps; ++i) {
        empty_clipboard(lister);
        HWND window = list_load(lister, path, 0);
        if (!window) {
            std::fprintf(stderr, "ListLoad refused %s\n", path);
            return;
        }
        HWND grid = FindWindowExA(window, nullptr, "SysListView32", nullptr);
        if (!pump_until_painted(grid) ||
            !pump_until_counted(window, COUNT_BOUND_MS, nullptr, nullptr)) {
            std::fprintf(stderr, "the viewer of %s did not finish counting\n", path);
            return;
        }
        // The grid scrolled to its end and back once: Wine takes memory the first time the grid
        // scrolls there (3.6 MB here), as any first scroll would; it is not the copy's.
        press(grid, VK_END, true);
        press(grid, VK_HOME, true);
        pump_until_painted(grid);
        Sampler sampler = {nullptr, 0, 0, 0, 0};
        sampler.thread = CreateThread(nullptr, 0, sample_until_stopped, &sampler, 0, nullptr);
        while (sampler.thread && !sampler.ready) Sleep(1);
        const double before = private_bytes();
        const double peak_before = static_cast<double>(memory_counters().PeakPagefileUsage);
        sampler.most = before;
        InterlockedExchange(&sampler.go, 1);
        const DWORD sequence = GetClipboardSequenceNumber();
        double t0 = now_ms();
        press(grid, 'A', true);
        press(grid, 'C', true);
        double start = now_ms();
        while (GetClipboardSequenceNumber() == sequence ||
               !IsClipboardFormatAvailable(CF_UNICODETEXT)) {
            if (now_ms() - start > PAINT_BOUND_MS) break;
            pump_pending();
        }
        double t1 = now_ms();
        InterlockedExchange(&sampler.stop, 1);
        if (sampler.thread) wait_pumping(sampler.thread);
        const PROCESS_MEMORY_COUNTERS_EX after = memory_counters();
        // Where the system keeps a true peak it holds since the process began; in a process that
        // has done nothing bigger, what passes the peak before is the copy's.
        double system_added = static_cast<double>(after.PeakPagefileUsage) > peak_before
                                  ? static_cast<double>(after.PeakPagefileUsage) - before
                                  : 0;
        double added = std::max(sampler.most - before, system_added);
        units = clipboard_units(lister, &copied_lines);
        if (units < 0) {
            std::fprintf(stderr, "the copy of %s put no text on the clipboard\n", path);
            return;
        }
        copies.push_back(t1 - t0);
        worst_added = std::max(worst_added, added);
        worst_over = std::max(worst_over, added - 2.0 * static_cast<double>(units + 1));
        list_close(window);
        empty_clipboard(lister);
        pump_pending();
        alone.push_back(time_clipboard_alone(lister, units));
    }
    std::printf("file %s (%lld line feeds)\n", path, lines);
    report("one read-and-memchr pass", passes, 0);
    report("Ctrl+A, Ctrl+C until on the clipboard", copies, 0);
    report("  a block as large set alone", alone, 0);
    double ratio = median(copies) / pass;
    std::printf("goal: select all and copy at most 3 x one read-and-memchr pass: %.2f, %s\n", ratio,
                verdict(ratio <= 3.0));
    double block = 2.0 * static_cast<double>(units + 1);
    std::printf("goal: memory the copy adds at most the clipboard block (%lld units, %lld lines: "
                "%.0f bytes) + 1 MiB: the most it added %.0f bytes, %.0f over the block, %s\n",
                units, copied_lines, block, worst_added, worst_over,
                verdict(worst_over <= 1048576.0));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv) {
    const char *mode = argc >= 5 ? argv[4] : "";
    const bool big = std::strcmp(mode, "big") == 0;
    const bool first = std::strcmp(mode, "first") == 0;
    if (argc < 2 || (first ? argc < 6 : argc > 6 || (argc == 6) != big)) {
        std::fprintf(stderr, "usage: wine_bench FILE.pg [REPETITIONS [TAB_FILE.pg "
                             "[sort|value|big BIG.pg]]]\n"
                             "       wine_bench FILE.pg REPETITIONS - copy\n"
                             "       wine_bench FILE.pg REPETITIONS - first OTHER.pg...\n");
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
    char *tab_path = argc >= 4 ? argv[3] : path;

    if (std::strcmp(mode, "copy") == 0) {
        time_copy(list_load, list_close, lister, path, reps);
        DestroyWindow(lister);
        FreeLibrary(module);
        return 0;
    }

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
    long long lines = 0;
    const std::vector<double> passes = read_passes(path, reps, &lines);
    const double pass = passes.empty() ? 0 : median(passes);
    std::printf("file %s\n", path);
    report("load_file alone", alone, 0);
    report("one read-and-memchr pass", passes, 0);
    report("ListLoad", returned, reference);
    report("ListLoad + first paint of the grid", painted, reference);
    // The first screen does not wait for the whole file: it is held to the least a count of the
    // file must do, one read-and-memchr pass, which no load of a file of any size may exceed.
    double pass_ratio = painted.empty() || pass <= 0 ? 0 : median(painted) / pass;
    std::printf("goal: ListLoad + first paint at most 1 x one read-and-memchr pass: %.2f, %s\n",
                pass_ratio, verdict(!painted.empty() && pass > 0 && pass_ratio <= 1.0));
    std::fflush(stdout);

    if (std::strcmp(tab_path, "-") != 0)
        time_text_tabs(list_load, list_close, lister, tab_path, reps, reference);
    if (std::strcmp(mode, "sort") == 0) time_sorting(list_load, list_close, lister, path, reps);
    if (std::strcmp(mode, "value") == 0) time_value_view(list_load, list_close, lister, path, reps);
    if (std::strcmp(mode, "answers") == 0) time_answers(list_load, list_close, lister, path, reps);
    if (big && !painted.empty())
        time_big_file(list_load, list_close, lister, argv[5], reps, median(painted));
    if (first && !painted.empty())
        time_first_screens(list_load, list_close, lister, argv + 5, argc - 5, reps,
                           median(painted));
    DestroyWindow(lister);
    FreeLibrary(module);
    return 0;
}
