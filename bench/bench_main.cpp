// The core benchmark program: runs every benchmark, then prints each operation's ratio to the
// floor it is measured against and whether that meets the goal.
//
//   core_bench DATA_DIR [--benchmark_... flags]
#include "bench_data.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>
#include <map>
#include <string>
#include <vector>

namespace {

struct Goal {
    const char *operation;
    const char *floor;
    double at_most; // 0: reported, no goal
};

const Goal GOALS[] = {
    {"load_file_rows_1m", "floor_read_and_scan", 1.3},
    {"load_file_rows_1m", "floor_read", 0},
    {"first_screen_rows_1m", "floor_read_and_scan", 1.0},
    {"compose_full_sql_rows_1m", "floor_copy_script", 2.0},
    {"selection_text_100k_rows", "floor_copy_selection", 3.0},
    {"clipboard_utf16_rows_1m", "floor_read_and_scan", 3.0},
    {"selection_text_100k_rows", "floor_copy_selection_warm", 0},
    {"text_first_walk_100mb_line", "floor_memchr_100mb_line", 0},
    {"grid_find_absent_ascii", "floor_memmem_ascii", 3.0},
    {"grid_find_absent_cyrillic", "floor_memmem_cyrillic", 3.0},
    {"grid_find_last_row", "floor_memmem_last_row", 3.0},
    {"grid_find_last_row_id", "floor_memmem_last_row_id", 3.0},
    {"text_find_absent_ascii", "floor_memmem_ascii", 0},
    {"grid_filter_absent_ascii", "floor_memmem_ascii", 3.0},
    {"grid_filter_absent_cyrillic", "floor_memmem_cyrillic", 3.0},
    {"copy_as_csv_rows_1m", "selection_text_rows_1m", 3.0},
    {"copy_as_insert_rows_1m", "selection_text_rows_1m", 3.0},
    {"copy_as_json_rows_1m", "selection_text_rows_1m", 3.0},
    {"copy_as_markdown_rows_1m", "selection_text_rows_1m", 3.0},
    {"order_rows_c0", "floor_order_c0", 3.0},
    {"order_rows_c0", "floor_prefix_c0", 0},
    {"order_descending_c0", "order_rows_c0", 1.0},
    {"order_rows_c1", "floor_order_c1", 3.0},
    {"order_rows_c1", "floor_prefix_c1", 0},
    {"order_descending_c1", "order_rows_c1", 1.0},
    {"order_rows_c2", "floor_order_c2", 3.0},
    {"order_rows_c2", "floor_prefix_c2", 0},
    {"order_descending_c2", "order_rows_c2", 1.0},
    {"order_rows_c3", "floor_order_c3", 3.0},
    {"order_rows_c3", "floor_prefix_c3", 0},
    {"order_descending_c3", "order_rows_c3", 1.0},
    {"order_rows_c4", "floor_order_c4", 3.0},
    {"order_rows_c4", "floor_prefix_c4", 0},
    {"order_descending_c4", "order_rows_c4", 1.0},
    {"order_rows_c5", "floor_order_c5", 3.0},
    {"order_rows_c5", "floor_prefix_c5", 0},
    {"order_descending_c5", "order_rows_c5", 1.0},
    {"order_rows_c6", "floor_order_c6", 3.0},
    {"order_rows_c6", "floor_prefix_c6", 0},
    {"order_descending_c6", "order_rows_c6", 1.0},
    {"order_rows_c7", "floor_order_c7", 3.0},
    {"order_rows_c7", "floor_prefix_c7", 0},
    {"order_descending_c7", "order_rows_c7", 1.0},
    {"order_rows_c8", "floor_order_c8", 3.0},
    {"order_rows_c8", "floor_prefix_c8", 0},
    {"order_descending_c8", "order_rows_c8", 1.0},
    {"order_rows_c9", "floor_order_c9", 3.0},
    {"order_rows_c9", "floor_prefix_c9", 0},
    {"order_descending_c9", "order_rows_c9", 1.0},
    {"order_by_c1_c4", "order_rows_c1", 2.0},
    {"order_by_c4_c1", "order_rows_c4", 2.0},
    {"order_by_c5_c3_desc", "order_rows_c5", 2.0},
    {"order_by_c3_c5", "order_rows_c3", 2.0},
    {"summary_c0", "order_rows_c0", 2.0},
    {"summary_c1", "order_rows_c1", 2.0},
    {"summary_c2", "order_rows_c2", 2.0},
    {"summary_c3", "order_rows_c3", 2.0},
    {"summary_c4", "order_rows_c4", 2.0},
    {"summary_c5", "order_rows_c5", 2.0},
    {"summary_c6", "order_rows_c6", 2.0},
    {"summary_c7", "order_rows_c7", 2.0},
    {"summary_c8", "order_rows_c8", 2.0},
    {"summary_c9", "order_rows_c9", 2.0},
    {"condition_0", "grid_filter_absent_ascii", 0},
    {"condition_1", "grid_filter_absent_ascii", 0},
    {"condition_2", "grid_filter_absent_ascii", 0},
};

// The console report, plus the median (or only) CPU time of each benchmark kept for the table:
// every operation runs on one thread, and on a shared machine its CPU time (page faults
// included) varies far less than the wall clock.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            if (run.error_occurred) continue;
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (median || single)
                seconds_[run.run_name.function_name] =
                    run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-26s %10s  %-26s %10s  %6s  %s\n", "operation", "cpu ms", "floor", "cpu ms",
                    "ratio", "goal");
        for (const Goal &goal : GOALS) {
            auto op = seconds_.find(goal.operation), fl = seconds_.find(goal.floor);
            if (op == seconds_.end() || fl == seconds_.end() || fl->second <= 0) continue;
            double ratio = op->second / fl->second;
            char verdict[32] = "-";
            if (goal.at_most > 0)
                std::snprintf(verdict, sizeof verdict, "<= %.1f %s", goal.at_most,
                              ratio <= goal.at_most ? "met" : "MISSED");
            std::printf("%-26s %10.2f  %-26s %10.2f  %6.2f  %s\n", goal.operation, op->second * 1e3,
                        goal.floor, fl->second * 1e3, ratio, verdict);
        }
    }

  private:
    std::map<std::string, double> seconds_;
};

} // namespace

int main(int argc, char **argv) {
    // Blocks of 1 MiB and more come fresh from the system and go back to it when freed, as the
    // Windows heap does with large blocks; glibc would otherwise raise the threshold after the
    // first free and hand the next block back warm from its own cache, making the copy floors
    // cache-to-cache copies no caller of the module gets.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    benchmark::Initialize(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: core_bench DATA_DIR [--benchmark_... flags]\n");
        return 2;
    }
    set_bench_data_dir(argv[1]);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
