// The threads' protocol under ThreadSanitizer, with real threads: one counting a file, one making
// sorts and filters (each job on a thread of its own, one at a time), and this one playing the
// window: taking up the count's progress, handing jobs over, stopping and cancelling them, moving
// the cursor and reading the rows and cells shown. Many seeds; after every step the order shown
// must be sound. Any data race ThreadSanitizer sees fails the program.
//
// Usage: work_stress [seeds] [rows]. Exits 0 when every seed ran clean.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "base/file_map.h"
#include "document/load.h"
#include "document/read_step.h"
#include "grid/cells.h"
#include "grid/shown_rows.h"
#include "temp_dump.h"
#include "work/count_channel.h"
#include "work/order_job.h"

namespace {

#define STRESS_CHECK(cond)                                                                         \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: %s (seed %lu)\n", __FILE__, __LINE__, #cond, g_seed);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

unsigned long g_seed = 0;

struct Random {
    unsigned long long state;
    unsigned below(unsigned n) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<unsigned>((state >> 33) % n);
    }
};

std::string stress_dump(Random *rng, int rows) {
    static const char *words[] = {"ash", "birch", "cedar", "\\N", "elm", "fir", "x\\ty", ""};
    std::string lines;
    for (int r = 0; r < rows; ++r)
        lines += std::to_string(rng->below(1000)) + "\t" + words[rng->below(8)] + "\t" +
                 std::to_string(r) + "." + std::to_string(rng->below(100)) + "\n";
    return magic() +
           section("SQL", "CREATE TABLE s (\n    a integer,\n    b text,\n    c numeric\n);\n") +
           section("DATA", "COPY s (a, b, c) FROM stdin;\n" + lines + "\\.\n");
}

std::atomic<int> g_count_notices{0};
std::atomic<int> g_job_notices{0};

bool count_notice(void *, bool) {
    g_count_notices.fetch_add(1);
    return true;
}
void job_notice(void *) {
    g_job_notices.fetch_add(1);
}

// The order shown is sound: each row counted, shown once, the cursor among them.
void check_sound(const Viewer &v) {
    STRESS_CHECK(v.order.rows <= v.row_count);
    const int32_t n = shown_row_count(&v);
    std::vector<char> seen(static_cast<size_t>(v.row_count) + 1, 0);
    for (int32_t r = 0; r < n; ++r) {
        const int32_t f = shown_file_row(&v, r);
        STRESS_CHECK(f >= 0 && f < (v.order.shown ? v.order.rows : v.row_count));
        STRESS_CHECK(!seen[static_cast<size_t>(f)]);
        seen[static_cast<size_t>(f)] = 1;
    }
    if (n > 0) STRESS_CHECK(v.cur_row >= 0 && v.cur_row < n);
}

// Reads a few shown cells, as a paint does.
void read_cells(const Viewer &v, Random *rng) {
    const int32_t n = shown_row_count(&v);
    char text[64];
    for (int k = 0; k < 8 && n > 0; ++k) {
        const int32_t r = static_cast<int32_t>(rng->below(static_cast<unsigned>(n)));
        for (int32_t c = 0; c < v.col_count; ++c) cell_text(&v, r, c, text, sizeof text);
    }
}

void ask_order(JobSlot *slot, Viewer *v, Random *rng) {
    OrderPlan plan = order_plan_of(v, nullptr);
    switch (rng->below(4)) {
    case 0: // a header click: one key, either way, or none
        plan.key_count = rng->below(3) == 0 ? 0 : 1;
        plan.keys[0] =
            OrderKey{static_cast<int32_t>(rng->below(3)), rng->below(2) ? SORT_ASC : SORT_DESC};
        plan.filter_kept = plan.filtered;
        break;
    case 1: { // a filter typed, or cleared
        static const char *texts[] = {"a", "ir", "x", "1", ""};
        const char *t = texts[rng->below(5)];
        plan.filtered = needle_compile(&plan.needle, t, strlen(t)) == 1;
        plan.filter_kept = false;
        break;
    }
    default: // the order made again over every row, as at the count's end
        plan.fresh = true;
        plan.filtered = false;
        break;
    }
    OrderJob *j = order_job_new(v, &plan, rng->below(2) ? CURSOR_COLLAPSE : CURSOR_KEEP_SELECTION,
                                "ordering");
    STRESS_CHECK(j != nullptr);
    job_start(slot, &j->job, true, v);
}

void run_seed(unsigned long seed, int rows) {
    g_seed = seed;
    Random rng = {seed * 0x9E3779B97F4A7C15ull + 1};
    TempFile file(stress_dump(&rng, rows));
    FileMap map;
    STRESS_CHECK(file_map_open(&map, file.path()));
    Viewer v{};
    DumpScan scan;
    STRESS_CHECK(load_begin(&v, &map, &scan));
    read_step(&scan, &v.map, 2048);
    load_adopt(&v, &scan);
    g_count_notices = 0;
    g_job_notices = 0;
    CountChannel *count =
        count_start(&scan, &v.map, count_notice, nullptr, 1024 + rng.below(16384));
    STRESS_CHECK(count != nullptr);
    JobSlot slot{};
    slot.notify = job_notice;

    for (int step = 0; step < 4000 && (count || step < 400); ++step) {
        if (g_count_notices.exchange(0)) count_take(&count, &v);
        if (g_job_notices.exchange(0)) job_finish(&slot, &v, nullptr);
        switch (rng.below(12)) {
        case 0:
        case 1:
        case 2:
            if (!slot.job) ask_order(&slot, &v, &rng);
            break;
        case 3: job_cancel(&slot); break;
        case 4: job_stop(&slot); break;
        case 5: {
            const int32_t n = shown_row_count(&v);
            if (n > 0) {
                v.cur_row = static_cast<int32_t>(rng.below(static_cast<unsigned>(n)));
                if (rng.below(2)) v.anchor_row = v.cur_row;
            }
            break;
        }
        default: break;
        }
        check_sound(v);
        read_cells(v, &rng);
        std::this_thread::yield();
    }
    job_stop(&slot);
    count_end(&count);
    check_sound(v);
    viewer_free_blocks(&v);
}

} // namespace

int main(int argc, char **argv) {
    const unsigned long seeds = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20;
    const int rows = argc > 2 ? std::atoi(argv[2]) : 30000;
    for (unsigned long seed = 1; seed <= seeds; ++seed) run_seed(seed, rows);
    std::printf("work_stress: %lu seeds of %d rows, clean\n", seeds, rows);
    return 0;
}
