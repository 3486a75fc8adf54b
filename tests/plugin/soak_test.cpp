// A long session of a host: many files opened, stepped through, copied from and closed, the module
// unloaded and loaded again now and then, while the process's memory and window-system objects
// must stay where they were once every path had run.
//
// TAVRIN_SOAK_CYCLES sets the number of cycles (the test command runs the default).
#include "viewer_fixture.h"

#include "process_usage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

const std::string kExamples = TAVRIN_EXAMPLES_DIR;

constexpr int kDefaultCycles = 80;
constexpr int kReloadEvery = 10;
constexpr int kRefuseEvery = 3;
// Rows of the big file: short rows, so that its row array (8 bytes a row) is large as well.
constexpr int kBigRows = 60000;
const std::wstring kSentinel = L"soak sentinel";

// What the viewer shows of its file, as read through its windows.
struct Shown {
    int columns = 0;
    int items = 0;
    bool on_grid = false;
    bool on_text = false;
    std::string first_cell;
    int text_length = 0;
};

bool operator==(const Shown &a, const Shown &b) {
    return a.columns == b.columns && a.items == b.items && a.on_grid == b.on_grid &&
           a.on_text == b.on_text && a.first_cell == b.first_cell && a.text_length == b.text_length;
}

const char *shown_child(const Shown &s) {
    if (s.on_grid) return "grid";
    return s.on_text ? "text view" : "neither child";
}

std::ostream &operator<<(std::ostream &out, const Shown &s) {
    return out << s.columns << " columns, " << s.items << " rows, " << shown_child(s)
               << " shown, first cell \"" << s.first_cell << "\", text view " << s.text_length
               << " characters";
}

// One file of the soak and what the viewer showed of it the first time: every later visit must
// show the same.
struct SoakFile {
    std::string name;
    std::string path;
    bool big = false;
    // What a generated file must show; the samples' contents are other tests' business.
    bool known = false;
    Shown expected;
    bool seen = false;
    Shown first_shown;
    int tab_length[5] = {-1, -1, -1, -1, -1};
    bool copied = false;
    std::wstring::size_type copy_length = 0;
    uint64_t copy_hash = 0;
};

uint64_t fnv1a(const std::wstring &text) {
    uint64_t h = 14695981039346656037ull;
    for (wchar_t c : text) {
        h ^= static_cast<uint64_t>(c);
        h *= 1099511628211ull;
    }
    return h;
}

std::vector<std::string> example_paths() {
    std::vector<std::string> paths;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((kExamples + "/*.pg").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return paths;
    do paths.push_back(kExamples + "/" + found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::string big_dump() {
    std::string rows;
    rows.reserve(static_cast<size_t>(kBigRows) * 26);
    char line[64];
    for (int r = 0; r < kBigRows; ++r) {
        std::snprintf(line, sizeof line, "%d\tname-%06d\t%d.%02d\n", r, r * 7 % 1000000, r % 9973,
                      r % 100);
        rows += line;
    }
    return magic() + section("SQL", "CREATE TABLE soak_big (id integer, name text, v numeric);\n") +
           section("INFO", "Rows written by the soak test.\n") +
           section("DATA", "COPY soak_big (id, name, v) FROM stdin;\n" + rows + "\\.\n");
}

int soak_cycles() {
    const char *set = std::getenv("TAVRIN_SOAK_CYCLES");
    return set && *set ? std::atoi(set) : kDefaultCycles;
}

class Soak : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        for (const std::string &path : example_paths())
            add_file(path.substr(kExamples.size() + 1), path);
        ASSERT_GE(files.size(), 5u) << "the sample dumps in " << kExamples;

        std::string big = big_dump();
        big_size = big.size();
        keep(big, "generated big file", {3, kBigRows, true, false, "0", 0}, true);
        keep(magic() + section("SQL", "CREATE SEQUENCE soak_seq;\n"), "generated SQL-only file",
             {-1, 0, false, true, "", 0});
        keep(data_dump("a, b", ""), "generated file without rows", {2, 0, true, false, "", 0});
        // The same bytes as the big file under a wrong magic: read whole before it is refused, so
        // a refusal that kept its buffer would cost as much as a kept load.
        refused = std::make_unique<TempFile>("KMZTAB00" + big.substr(magic().size()));
    }

    void add_file(const std::string &name, const std::string &path, bool big = false) {
        SoakFile f;
        f.name = name;
        f.path = path;
        f.big = big;
        files.push_back(f);
    }

    void keep(const std::string &bytes, const std::string &name, const Shown &expected,
              bool big = false) {
        temp_files.push_back(std::make_unique<TempFile>(bytes));
        add_file(name, temp_files.back()->path(), big);
        files.back().known = true;
        files.back().expected = expected;
    }

    Shown shown_now() const {
        Shown s;
        s.on_grid = grid_shown();
        s.on_text = text_shown();
        // A file that opens on a text tab makes its grid on the Data tab's first visit, or keeps
        // the one of the file before: its columns are counted where the grid shows (-1 else).
        s.columns = s.on_grid ? column_count(grid()) : -1;
        s.items = item_count(grid());
        s.first_cell = s.items > 0 ? item_text(grid(), 0, 0) : "";
        s.text_length = GetWindowTextLengthW(edit());
        return s;
    }

    // The viewer shows `f` as it did the first time; the text tabs are checked as they are walked.
    void expect_showing(SoakFile &f) {
        Shown now = shown_now();
        now.text_length = 0;
        if (!f.seen) {
            f.seen = true;
            f.first_shown = now;
            if (f.known) EXPECT_EQ(now, f.expected) << f.name;
            return;
        }
        EXPECT_EQ(now, f.first_shown) << f.name;
    }

    void expect_same_every_time(int *recorded, int now, const SoakFile &f,
                                const std::string &what) {
        if (*recorded < 0)
            *recorded = now;
        else
            EXPECT_EQ(now, *recorded) << what << " of " << f.name;
    }

    // Tabs 2, 3, 4, then the grid, with a search from the find bar and the whole grid copied.
    void walk_tabs_and_copy(SoakFile &f) {
        for (int tab = 2; tab <= 4; ++tab) {
            ASSERT_TRUE(show_tab(tab)) << "tab " << tab << " of " << f.name;
            expect_same_every_time(&f.tab_length[tab], GetWindowTextLengthW(edit()), f,
                                   "the text of tab " + std::to_string(tab));
        }
        ASSERT_TRUE(show_tab(1)) << f.name;
        press_key(grid(), 'F', true);
        HWND field = GetFocus();
        press_key(field, '1');
        press_key(field, VK_RETURN);
        press_key(field, VK_ESCAPE);
        ASSERT_EQ(GetFocus(), grid()) << f.name;
        press_key(grid(), 'A', true);
        press_key(grid(), 'C', true);
        std::wstring copied = clipboard_text();
        if (item_count(grid()) == 0) {
            EXPECT_EQ(copied, kSentinel) << "a grid without rows copies nothing: " << f.name;
            return;
        }
        ASSERT_NE(copied, kSentinel) << "Ctrl+A, Ctrl+C put nothing on the clipboard: " << f.name;
        ASSERT_FALSE(copied.empty()) << f.name;
        if (!f.copied) {
            f.copied = true;
            f.copy_length = copied.size();
            f.copy_hash = fnv1a(copied);
            return;
        }
        EXPECT_EQ(copied.size(), f.copy_length) << "the copy of " << f.name;
        EXPECT_EQ(fnv1a(copied), f.copy_hash) << "the copy of " << f.name;
    }

    // One cycle: open `a`, maybe try the refused file, step on to `b`, walk its tabs, copy, close.
    void run_cycle(int cycle, SoakFile &a, SoakFile &b) {
        set_clipboard_text(kSentinel);
        viewer = module.ListLoad(lister.hwnd, const_cast<char *>(a.path.c_str()), 0);
        ASSERT_NE(viewer, nullptr) << a.name;
        pump_pending();
        expect_showing(a);
        // The script shown here reads the rows that the next load frees.
        ASSERT_TRUE(show_tab(4)) << a.name;

        if (cycle % kRefuseEvery == 0) {
            Shown before = shown_now();
            EXPECT_EQ(
                module.ListLoadNext(lister.hwnd, viewer, const_cast<char *>(refused->path()), 0),
                1);
            pump_pending();
            EXPECT_EQ(shown_now(), before) << "a refused file changed the viewer of " << a.name;
            if (cycle >= warmup) ++refused_measured;
        }

        ASSERT_EQ(module.ListLoadNext(lister.hwnd, viewer, const_cast<char *>(b.path.c_str()), 0),
                  0)
            << b.name;
        pump_pending();
        expect_showing(b);
        for (const HFONT font : fonts_in_use(viewer))
            if (std::find(module_fonts.begin(), module_fonts.end(), font) == module_fonts.end())
                module_fonts.push_back(font);
        walk_tabs_and_copy(b);
        // The copy goes before the measurement, so that no cycle's end holds a megabyte of it.
        set_clipboard_text(kSentinel);

        module.ListCloseWindow(viewer);
        viewer = nullptr;
        pump_pending();
        EXPECT_EQ(GetWindow(lister.hwnd, GW_CHILD), nullptr) << "a window outlived its viewer";
        if (cycle >= warmup) big_loads_measured += a.big + b.big;

        if ((cycle + 1) % kReloadEvery == 0) {
            unload_module(&module);
            ASSERT_EQ(GetModuleHandleA("tavrin.wlx64"), nullptr) << "the module stayed loaded";
            // Whatever the module kept for the process is gone with it: nobody is left to free it.
            for (HFONT font : module_fonts)
                fonts_outliving_module += GetObjectType(font) == OBJ_FONT;
            fonts_seen += static_cast<int>(module_fonts.size());
            module_fonts.clear();
            module = load_module();
            ASSERT_NE(module.dll, nullptr);
            ++reloads;
        }
    }

    std::vector<SoakFile> files;
    std::vector<std::unique_ptr<TempFile>> temp_files;
    std::unique_ptr<TempFile> refused;
    size_t big_size = 0;
    int warmup = 0;
    int big_loads_measured = 0;
    int refused_measured = 0;
    int reloads = 0;
    // Fonts set into the viewer's windows since the module was last loaded.
    std::vector<HFONT> module_fonts;
    int fonts_seen = 0;
    int fonts_outliving_module = 0;
};

void print_usage(const char *when, const ProcessUsage &u) {
    std::printf(
        "  %-9s private %s, working set %s, pagefile %s; USER %lu, GDI %lu (GetGuiResources); "
        "%d windows of this thread\n",
        when, megabytes(u.private_bytes).c_str(), megabytes(u.working_set).c_str(),
        megabytes(u.pagefile).c_str(), static_cast<unsigned long>(u.user_objects),
        static_cast<unsigned long>(u.gdi_objects), u.thread_windows);
}

} // namespace

TEST_F(Soak, ManyCyclesLeaveMemoryAndWindowObjectsWhereTheyWere) {
    const int cycles = soak_cycles();
    const int n = static_cast<int>(files.size());
    // Every file as first and as next, the refused file and a module reload all run in the
    // warm-up, so whatever the system caches on first use is in place before the first reading.
    warmup = std::max({cycles / 10, n + 1, kReloadEvery});
    ASSERT_GE(cycles, warmup + 3 * n) << "too few cycles to see a leak after the warm-up";

    ProcessUsage warm;
    int done = 0;
    DWORD started = GetTickCount();
    for (int cycle = 0; cycle < cycles; ++cycle) {
        SoakFile &a = files[static_cast<size_t>(cycle % n)];
        // The step to the next file moves through every distance, so every pair comes up.
        SoakFile &b = files[static_cast<size_t>((cycle + 1 + cycle / n % (n - 1)) % n)];
        SCOPED_TRACE("cycle " + std::to_string(cycle) + ": " + a.name + ", then " + b.name);
        run_cycle(cycle, a, b);
        // A viewer that misbehaves has no figures worth reading.
        if (HasFailure()) return;

        ProcessUsage now = process_usage();
        if (cycle == warmup - 1) warm = now;
        ++done;
        // Every viewer is closed at a cycle's end, so every cycle ends with the same windows.
        if (cycle >= warmup && now.thread_windows != warm.thread_windows) {
            ADD_FAILURE() << "cycle " << cycle << " ended with " << now.thread_windows
                          << " windows of this thread, the warm-up with " << warm.thread_windows;
            break;
        }
    }
    DWORD elapsed = GetTickCount() - started;
    ProcessUsage end = process_usage();

    std::printf("soak: %d of %d cycles (warm-up %d), %d files, big file %s, %d module reloads, "
                "%.1f s\n",
                done, cycles, warmup, n, megabytes(big_size).c_str(), reloads, elapsed / 1000.0);
    print_usage("warm-up", warm);
    print_usage("end", end);

    // Memory: a load of the big file that kept its row array, or a refusal that kept the file's
    // buffer, would grow the process by that block at every such step after the warm-up; half the
    // smaller of those totals is the bound, and a kept buffer of a load is larger still.
    const int64_t row_array = int64_t{kBigRows} * static_cast<int64_t>(sizeof(char *));
    const int64_t smallest_leak =
        std::min(row_array * big_loads_measured, static_cast<int64_t>(big_size) * refused_measured);
    const int64_t bound = smallest_leak / 2;
    const int64_t growth =
        static_cast<int64_t>(own_memory(end)) - static_cast<int64_t>(own_memory(warm));
    std::printf("  %s grew %+lld bytes; bound %lld: half the least of %d loads x %lld bytes of "
                "row array and %d refusals x %zu bytes of file\n",
                own_memory_name(end), static_cast<long long>(growth), static_cast<long long>(bound),
                big_loads_measured, static_cast<long long>(row_array), refused_measured, big_size);
    EXPECT_GE(std::min(big_loads_measured, refused_measured), 3)
        << "too few loads of the big file after the warm-up";
    EXPECT_LT(growth, bound);
    // The reading must see a leak of that size at all: one held now, pages touched, must show.
    {
        const size_t held_size = static_cast<size_t>(smallest_leak);
        void *held = HeapAlloc(GetProcessHeap(), 0, held_size);
        ASSERT_NE(held, nullptr);
        std::memset(held, 0x5A, held_size);
        const int64_t seen = static_cast<int64_t>(own_memory(process_usage())) -
                             static_cast<int64_t>(own_memory(end));
        std::printf("  a block of %zu bytes held on purpose shows as %+lld bytes\n", held_size,
                    static_cast<long long>(seen));
        EXPECT_GT(seen, bound) << own_memory_name(end) << " does not see a block of that size";
        HeapFree(GetProcessHeap(), 0, held);
    }

    // USER objects: GetGuiResources where it counts; the thread's windows, compared after every
    // cycle above, everywhere.
    if (counts_user_objects(warm)) {
        std::printf("  USER objects: checked by GetGuiResources and by window count\n");
        EXPECT_EQ(end.user_objects, warm.user_objects) << "USER objects";
    } else {
        std::printf("  USER objects: GetGuiResources counts none here; checked by the thread's "
                    "window count after every cycle\n");
    }
    if (counts_gdi_objects(warm)) {
        std::printf("  GDI objects: checked by GetGuiResources\n");
        EXPECT_EQ(end.gdi_objects, warm.gdi_objects) << "GDI objects";
    } else {
        std::printf("  GDI objects: GetGuiResources counts none here; checked that the fonts set "
                    "into the viewer's windows go with the module\n");
    }

    std::printf("  fonts set into the viewer's windows by modules since unloaded: %d, of which %d "
                "still exist\n",
                fonts_seen, fonts_outliving_module);
    EXPECT_EQ(fonts_outliving_module, 0)
        << "fonts outlived the module that set them into its windows";
    std::fflush(stdout);
}
