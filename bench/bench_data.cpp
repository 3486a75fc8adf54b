// Benchmark support: data paths and the per-process cache of loaded documents.
#include "bench_data.h"

#include "document/load.h"
#include "grid/selection_text.h"

#include <cstdio>
#include <map>

const char *const ROWS_FILE = "rows_1m.pg";
const char *const WIDE_FILE = "cols_256.pg";

static std::string g_data_dir = ".";

void set_bench_data_dir(const std::string &dir) {
    g_data_dir = dir;
}

std::string bench_path(const char *file) {
    return g_data_dir + "/" + file;
}

Viewer *loaded_document(const char *file) {
    static std::map<std::string, Viewer *> cache;
    auto found = cache.find(file);
    if (found != cache.end()) return found->second;
    Viewer *viewer = new Viewer{};
    std::string path = bench_path(file);
    if (!load_file(viewer, path.c_str())) {
        std::fprintf(stderr, "cannot load %s (run bench/run.sh to generate it)\n", path.c_str());
        delete viewer;
        viewer = nullptr;
    }
    cache[file] = viewer;
    return viewer;
}

void time_selection_text(benchmark::State &state, const Viewer *viewer) {
    size_t bytes = 0;
    for (auto _ : state) {
        StrBuf text;
        if (!selection_text(viewer, &text)) {
            state.SkipWithError("selection_text failed");
            break;
        }
        bytes = text.len;
        sb_drop(&text);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
