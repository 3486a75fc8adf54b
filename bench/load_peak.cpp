// The peak memory of one load_file, counted through the allocation seam, against the budget of
// the file's size plus 8 bytes a row plus 1 MiB.
//
//   load_peak FILE.pg
#include "counting_mem.h"

#include "document/load.h"

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: load_peak FILE.pg\n");
        return 2;
    }
    Viewer viewer{};
    if (!load_file(&viewer, argv[1])) {
        std::fprintf(stderr, "load_file refused %s\n", argv[1]);
        return 1;
    }
    long long file = viewer.buf_len, rows = viewer.row_count;
    long long peak = static_cast<long long>(mem_peak_bytes());
    long long budget = file + 8 * rows + (1 << 20);
    std::printf("load_file peak memory: %lld bytes = file %lld + %lld (%.2f bytes a row); "
                "goal <= %lld: %s\n",
                peak, file, peak - file, rows ? static_cast<double>(peak - file) / rows : 0.0,
                budget, peak <= budget ? "met" : "MISSED");
    viewer_free_blocks(&viewer);
    return peak <= budget ? 0 : 1;
}
