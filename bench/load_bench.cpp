// load_file on the 100 MB file, beside the floors no loader can beat: reading the file into one
// buffer, and that plus one memchr pass over every line feed; and the first screen's part of a
// load, which must take no longer than that pass whatever the file's size.
#include "bench_data.h"

#include "base/file_map.h"
#include "document/load.h"
#include "document/read_step.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The file into one fresh buffer, as a loader must at least do; null when it cannot be read.
char *read_file(const char *path, size_t *len) {
    FILE *f = std::fopen(path, "rb");
    if (!f) return nullptr;
    std::fseek(f, 0, SEEK_END);
    long n = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    char *buf = n > 0 ? static_cast<char *>(std::malloc(static_cast<size_t>(n) + 1)) : nullptr;
    if (buf && std::fread(buf, 1, static_cast<size_t>(n), f) != static_cast<size_t>(n)) {
        std::free(buf);
        buf = nullptr;
    }
    std::fclose(f);
    if (buf) buf[n] = '\0';
    *len = static_cast<size_t>(n);
    return buf;
}

void load_file_rows_1m(benchmark::State &state) {
    std::string path = bench_path(ROWS_FILE);
    int64_t rows = 0;
    for (auto _ : state) {
        Viewer viewer{};
        if (!load_file(&viewer, path.c_str())) {
            state.SkipWithError("load_file refused the file");
            break;
        }
        rows = viewer.row_count;
        benchmark::DoNotOptimize(viewer.rows);
        viewer_free_blocks(&viewer);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// What ListLoad reads before it returns (document/read_step.h): the header line and 1,000 rows once
// the first 4 MiB are read, in steps of 256 KiB; the record then shows them and the map is closed.
void first_screen_rows_1m(benchmark::State &state) {
    std::string path = bench_path(ROWS_FILE);
    int64_t rows = 0;
    for (auto _ : state) {
        FileMap map;
        Viewer viewer{};
        DumpScan scan;
        if (!file_map_open(&map, path.c_str()) || !load_begin(&viewer, &map, &scan)) {
            file_map_close(&map);
            state.SkipWithError("the file could not be begun");
            break;
        }
        read_first_screen(&scan, &viewer.map);
        load_adopt(&viewer, &scan);
        rows = viewer.row_count;
        benchmark::DoNotOptimize(viewer.rows);
        viewer_free_blocks(&viewer);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void floor_read(benchmark::State &state) {
    std::string path = bench_path(ROWS_FILE);
    for (auto _ : state) {
        size_t len = 0;
        char *buf = read_file(path.c_str(), &len);
        if (!buf) {
            state.SkipWithError("cannot read the file");
            break;
        }
        benchmark::DoNotOptimize(buf);
        std::free(buf);
    }
}

void floor_read_and_scan(benchmark::State &state) {
    std::string path = bench_path(ROWS_FILE);
    int64_t lines = 0;
    for (auto _ : state) {
        size_t len = 0;
        char *buf = read_file(path.c_str(), &len);
        if (!buf) {
            state.SkipWithError("cannot read the file");
            break;
        }
        lines = 0;
        const char *end = buf + len;
        for (const char *p = buf; (p = static_cast<const char *>(std::memchr(p, '\n', end - p)));
             ++p)
            ++lines;
        benchmark::DoNotOptimize(lines);
        std::free(buf);
    }
    state.counters["lines"] = static_cast<double>(lines);
}

} // namespace

BENCHMARK(load_file_rows_1m)->Unit(benchmark::kMillisecond);
BENCHMARK(first_screen_rows_1m)->Unit(benchmark::kMillisecond);
BENCHMARK(floor_read)->Unit(benchmark::kMillisecond);
BENCHMARK(floor_read_and_scan)->Unit(benchmark::kMillisecond);
