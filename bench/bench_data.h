// Benchmark support: where the generated dump files live, and documents loaded once per process.
#pragma once

#include "document/viewer.h"

#include <benchmark/benchmark.h>

#include <string>

// The benchmark data: rows_1m.pg (1,000,000 rows x 10 columns, about 100 MB) and cols_256.pg
// (256 columns), written by tools/gen_dump into the directory given on the command line.
extern const char *const ROWS_FILE;
extern const char *const WIDE_FILE;

void set_bench_data_dir(const std::string &dir);
std::string bench_path(const char *file);

// Times selection_text of the viewer's selection, one build a round, and counts its bytes.
void time_selection_text(benchmark::State &state, const Viewer *viewer);

// The file loaded with load_file, once per process; null (and an error printed) when it cannot be.
// The record lives until the process ends.
Viewer *loaded_document(const char *file);
