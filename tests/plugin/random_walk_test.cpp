// A random walk through everything a user and a file manager do to a viewer, in an order a seed
// chooses: keys, clicks on cells and headers (Shift held or not), menu commands, filters and
// conditions typed, rows gone to, columns summed up, large selections summed, Escape, tab switches,
// the next file (a small one, a million rows, a big one still being counted, hostile ones, one
// cut short while it was viewed), the viewer closed and opened again at any moment, long work
// running or not. After every action the host is alive, the viewer answers a message sent from
// another thread within a second, the grid shows no more rows than are counted, and at most one
// cell is the cursor; at the end the process holds the handles and the memory it held before.
//
// TAVRIN_WALK_ACTIONS sets the number of actions (the test command runs the default),
// TAVRIN_WALK_SEED the seed, TAVRIN_WALK_BIG a big dump to use as the file being counted (by
// default one of 4,000,000 rows is written).
#include "cut_file.h"
#include "hostile_files.h"
#include "menu_driver.h"
#include "process_usage.h"
#include "viewer_fixture.h"

#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultActions = 2500;

int env_int(const char *name, int fallback) {
    const char *set = std::getenv(name);
    return set && *set ? std::atoi(set) : fallback;
}

struct Random {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n > 0 ? static_cast<int>(next() % static_cast<uint64_t>(n)) : 0; }
};

// Writes a dump of `rows` rows to `path` a piece at a time: a file of a hundred megabytes never
// stands whole in memory.
void write_numbered(const char *path, int rows) {
    FILE *f = std::fopen(path, "wb");
    if (!f) return;
    const std::string head =
        magic() +
        section("SQL", "CREATE TABLE public.w (\n    id integer,\n    name text,\n"
                       "    v numeric(8,2)\n);\n") +
        section("DATA", "COPY public.w (id, name, v) FROM stdin;\n");
    std::fwrite(head.data(), 1, head.size(), f);
    std::string piece;
    for (int r = 0; r < rows; ++r) {
        piece += std::to_string(r) + "\tname " +
                 std::to_string(static_cast<long long>(r) * 7919 % 100003) + "\t" +
                 std::to_string(r % 977) + "." + std::to_string(10 + r % 90) + "\n";
        if (piece.size() > (1u << 20) || r + 1 == rows) {
            std::fwrite(piece.data(), 1, piece.size(), f);
            piece.clear();
        }
    }
    std::fwrite("\\.\n", 1, 3, f);
    std::fclose(f);
}

// The total the status line counts: the number before " rows" ("1,234 of 1,000,000 rows" gives
// 1000000); -1 when it names no rows.
long long counted_in(const std::wstring &status) {
    size_t at = status.find(L" rows");
    if (at == std::wstring::npos) return -1;
    size_t start = at;
    while (start > 0 && (iswdigit(status[start - 1]) || status[start - 1] == L',')) --start;
    long long n = 0;
    bool any = false;
    for (size_t i = start; i < at; ++i)
        if (iswdigit(status[i])) {
            n = n * 10 + (status[i] - L'0');
            any = true;
        }
    return any ? n : -1;
}

// Whether `window` answers a message sent from another thread within `ms`, this thread pumping
// meanwhile as the file manager's does.
struct Ask {
    HWND window;
    DWORD ms;
    bool answered;
};

DWORD WINAPI ask_from_another_thread(void *arg) {
    Ask *ask = static_cast<Ask *>(arg);
    DWORD_PTR result = 0;
    ask->answered =
        SendMessageTimeoutW(ask->window, WM_NULL, 0, 0, SMTO_NORMAL, ask->ms, &result) != 0;
    return 0;
}

bool answers_within(HWND window, DWORD ms) {
    Ask ask = {window, ms, false};
    HANDLE other = CreateThread(nullptr, 0, ask_from_another_thread, &ask, 0, nullptr);
    if (!other) return false;
    while (MsgWaitForMultipleObjects(1, &other, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        pump_pending();
    CloseHandle(other);
    return ask.answered;
}

class RandomWalk : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        const DWORD began = GetTickCount();
        rng.state = static_cast<uint64_t>(env_int("TAVRIN_WALK_SEED", 1));
        keep(magic() + section("SQL", "CREATE TABLE s (a int, b text);\n") +
             section("DATA", "COPY s (a, b) FROM stdin;\n2\tb\n1\t\\N\n3\tc\\td\n\\.\n"));
        keep_numbered(1000000);
        const char *big = std::getenv("TAVRIN_WALK_BIG");
        if (big && *big)
            paths.push_back(big);
        else
            keep_numbered(4000000);
        cut_index = static_cast<int>(paths.size());
        keep_numbered(1500000); // cut short once while the walk goes on
        for (const HostileCase &c : hostile_cases()) keep(c.make().bytes);
        if (std::getenv("TAVRIN_WALK_TELL"))
            std::fprintf(stderr, "files written in %lu ms\n", GetTickCount() - began);
    }
    void TearDown() override {
        ViewerTest::TearDown();
        kept.clear();
    }
    void keep(const std::string &bytes) {
        kept.push_back(std::make_unique<TempFile>(bytes));
        paths.push_back(kept.back()->path());
    }
    void keep_numbered(int rows) {
        keep("");
        write_numbered(paths.back().c_str(), rows);
    }
    // A path of the walk's files; `last` names it by its place among them.
    char *random_path() {
        const int i = rng.below(static_cast<int>(paths.size()));
        file = i;
        return const_cast<char *>(paths[static_cast<size_t>(i)].c_str());
    }

    HWND field() const {
        HWND bar = FindWindowExW(viewer, nullptr, L"TavrinFindBar", nullptr);
        return bar ? FindWindowExW(bar, nullptr, L"Edit", nullptr) : nullptr;
    }
    HWND focused_or_grid() const {
        HWND f = GetFocus();
        return f && (f == viewer || IsChild(viewer, f)) ? f : grid();
    }

    void act();
    void check(int step);
    void warm_up();

    Random rng{1};
    std::vector<std::unique_ptr<TempFile>> kept;
    std::vector<std::string> paths;
    int cut_index = 0;
    int file = -1;
    std::string last;
};

void RandomWalk::act() {
    static const UINT moves[] = {VK_UP,    VK_DOWN, VK_LEFT, VK_RIGHT,
                                 VK_PRIOR, VK_NEXT, VK_HOME, VK_END};
    const int what = rng.below(100);
    if (!viewer) {
        viewer = module.ListLoad(lister.hwnd, random_path(), 0);
        last = "ListLoad of file " + std::to_string(file);
        return;
    }
    HWND g = grid();
    if (what < 30) {
        const bool shift = rng.below(3) == 0;
        const bool ctrl = rng.below(4) == 0;
        const UINT key = moves[rng.below(8)];
        press_key(focused_or_grid(), key, ctrl, shift);
        last = "a move (key " + std::to_string(key) + (ctrl ? ", Ctrl" : "") +
               (shift ? ", Shift" : "") + ")";
    } else if (what < 36) {
        press_key(focused_or_grid(), "1234"[rng.below(4)]);
        last = "a tab";
    } else if (what < 42) {
        press_key(focused_or_grid(), VK_ESCAPE);
        last = "Escape";
    } else if (what < 48 && g && IsWindowVisible(g)) {
        RECT r;
        GetClientRect(g, &r);
        click(g, POINT{rng.below(r.right + 1), rng.below(r.bottom + 1)}, rng.below(3) == 0);
        last = "a click in the grid";
    } else if (what < 54 && g && IsWindowVisible(g)) {
        HWND header = reinterpret_cast<HWND>(SendMessageW(g, LVM_GETHEADER, 0, 0));
        int n = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
        RECT r = {};
        SendMessageW(header, HDM_GETITEMRECT, rng.below(n), reinterpret_cast<LPARAM>(&r));
        click(header, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, rng.below(3) == 0);
        last = "a header click, Shift held or not";
    } else if (what < 60) {
        press_key(focused_or_grid(), "ACFGI"[rng.below(5)], true, rng.below(2) == 0);
        last = "Ctrl+A, C, F, G or I";
    } else if (what < 64) {
        press_key(focused_or_grid(), VK_RETURN);
        last = "Enter";
    } else if (what < 67) {
        HWND f = focused_or_grid();
        SendMessageW(f, WM_SYSKEYDOWN, rng.below(2) ? VK_UP : VK_DOWN, 1 | 1 << 29);
        pump_pending();
        last = "Alt+Up or Alt+Down";
    } else if (what < 72) {
        static const wchar_t *texts[] = {
            L"name 1", L"7",         L"ZEBRA",  L"",       L"\\N",
            L"b",      L"v > 500.5", L"a = 'b", L"12,000", L"id <= 3 OR name ILIKE '%7'"};
        if (HWND f = field())
            if (IsWindowVisible(f)) SetWindowTextW(f, texts[rng.below(10)]);
        pump_pending();
        last = "typing in the bar";
    } else if (what < 76) {
        press_key(focused_or_grid(), VK_F3, false, rng.below(2) == 0);
        last = "F3";
    } else if (what < 82) {
        MenuDriver menu;
        menu.pick = {rng.below(17)};
        if (rng.below(3) == 0) menu.pick.push_back(rng.below(4));
        if (rng.below(5) == 0) menu.pick.clear();
        arm_menu_driver(&menu);
        press_key(focused_or_grid(), VK_APPS);
        disarm_menu_driver();
        last = "a menu command";
    } else if (what < 88) {
        module.ListLoadNext(lister.hwnd, viewer, random_path(), 0);
        last = "ListLoadNext of file " + std::to_string(file);
    } else if (what < 91) {
        module.ListCloseWindow(viewer);
        viewer = nullptr;
        last = "ListCloseWindow";
    } else {
        pump_until([] { return false; }, rng.below(200));
        last = "a wait";
    }
}

void RandomWalk::check(int step) {
    ASSERT_TRUE(IsWindow(lister.hwnd)) << "step " << step << ", after " << last;
    if (!viewer) return;
    ASSERT_TRUE(IsWindow(viewer)) << "step " << step << ", after " << last;
    ASSERT_TRUE(answers_within(viewer, 1000)) << "step " << step << ", after " << last;
    HWND g = grid();
    // The status is the window's text as its bar last painted it: the news taken up while the
    // window answered above is painted first, so that the text and the grid speak of one moment.
    UpdateWindow(viewer);
    const std::wstring status = status_text(viewer);
    // The value view's status names its own rows (a summary's are the rows shown when it was
    // made), not the grid's count.
    HWND value = FindWindowExW(viewer, nullptr, L"TavrinValue", nullptr);
    const long long counted = value && IsWindowVisible(value) ? -1 : counted_in(status);
    if (g && counted >= 0)
        ASSERT_LE(item_count(g), counted) << "step " << step << ", after " << last << ", file "
                                          << file << ", status " << utf8_of(status);
    if (!g || !IsWindowVisible(g)) return;
    const int top = static_cast<int>(SendMessageW(g, LVM_GETTOPINDEX, 0, 0));
    const int page = static_cast<int>(SendMessageW(g, LVM_GETCOUNTPERPAGE, 0, 0)) + 1;
    const int rows = std::min(item_count(g) - top, page);
    const int columns = std::min(column_count(g), 24);
    int cursors = 0;
    for (int r = top; r < top + rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const COLORREF back = background(r, c);
            cursors += back == kCursorFocused || back == kCursorUnfocused;
        }
    ASSERT_LE(cursors, 1) << "step " << step << ", after " << last;
}

// Once through what the walk will do, so that what the system keeps for good once a process has
// done it (its pools of threads, a menu's windows, the clipboard's, a Unix program's process) is
// made before the handles and the memory are read: a sort and a copy in threads of their own, a
// menu, a big file counted to its end, and the file that is cut short while it is viewed.
void RandomWalk::warm_up() {
    viewer = module.ListLoad(lister.hwnd, const_cast<char *>(paths[1].c_str()), 0);
    ASSERT_NE(viewer, nullptr);
    pump_until([&] { return status_text(viewer).find(L"counting") == std::wstring::npos; }, 60000);
    HWND header = reinterpret_cast<HWND>(SendMessageW(grid(), LVM_GETHEADER, 0, 0));
    RECT r = {};
    SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    click(header, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    press_key(grid(), 'A', true);
    press_key(grid(), 'C', true);
    MenuDriver menu;
    menu.pick = {2, 2};
    arm_menu_driver(&menu);
    press_key(grid(), VK_APPS);
    disarm_menu_driver();
    pump_until([&] { return status_text(viewer).find(L"Escape cancels") == std::wstring::npos; },
               60000);
    module.ListLoadNext(lister.hwnd, viewer,
                        const_cast<char *>(paths[static_cast<size_t>(cut_index)].c_str()), 0);
    if (cuts_files()) cut_file(paths[static_cast<size_t>(cut_index)].c_str(), 1 << 20);
    pump_until([&] { return status_text(viewer).find(L"counting") == std::wstring::npos; }, 60000);
    module.ListCloseWindow(viewer);
    viewer = nullptr;
    pump_pending();
}

} // namespace

TEST_F(RandomWalk, AnyActionsInAnyOrderLeaveTheHostAliveAndTheViewerSound) {
    const int actions = env_int("TAVRIN_WALK_ACTIONS", kDefaultActions);
    const bool told = std::getenv("TAVRIN_WALK_TELL") != nullptr;
    warm_up();
    const DWORD handles = handles_held();
    const uint64_t memory = own_memory(process_usage());
    for (int step = 0; step < actions; ++step) {
        const DWORD began = GetTickCount();
        act();
        const DWORD acted = GetTickCount();
        check(step);
        if (told)
            std::fprintf(stderr, "%d: %s (%lu ms, checked in %lu) %lu handles\n", step,
                         last.c_str(), acted - began, GetTickCount() - acted, handles_held());
        if (HasFatalFailure()) return;
    }
    if (viewer) module.ListCloseWindow(viewer);
    viewer = nullptr;
    pump_pending();
    EXPECT_EQ(handles_held(), handles);
    const uint64_t now = own_memory(process_usage());
    EXPECT_LE(now, memory + (4u << 20)) << megabytes(now) << " against " << megabytes(memory);
    std::printf("%d actions, memory %s before and %s after\n", actions, megabytes(memory).c_str(),
                megabytes(now).c_str());
}
