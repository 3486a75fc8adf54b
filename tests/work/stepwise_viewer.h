// Test support: a dump loaded the way the viewer loads a big file, its rows counted in steps, with
// the record brought up to each step as the window thread brings it up to the count's progress.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/file_map.h"
#include "document/load.h"
#include "document/read_step.h"
#include "grid/shown_rows.h"
#include "temp_dump.h"

struct StepwiseViewer {
    TempFile file;
    Viewer v{};
    DumpScan scan{};
    bool begun = false;

    explicit StepwiseViewer(const std::string &bytes) : file(bytes) {
        FileMap map;
        if (!file_map_open(&map, file.path())) return;
        begun = load_begin(&v, &map, &scan) == 1;
        if (!begun) file_map_close(&map);
    }
    ~StepwiseViewer() { viewer_free_blocks(&v); }
    StepwiseViewer(const StepwiseViewer &) = delete;
    StepwiseViewer &operator=(const StepwiseViewer &) = delete;

    // Reads `bytes` more of the file and brings the record up to it; false once all is read.
    bool count(uint64_t bytes) {
        const bool more = read_step(&scan, &v.map, bytes) == 1;
        load_adopt(&v, &scan);
        return more;
    }
    // Counts until at least `rows` rows are known (or the file ends).
    void count_to(int32_t rows) {
        while (v.row_count < rows && count(64)) {
        }
    }
    void count_all() {
        while (count(1 << 20)) {
        }
    }
};

// The rows the grid shows, as file rows.
inline std::vector<int32_t> shown_rows_of(const Viewer &v) {
    std::vector<int32_t> rows;
    for (int32_t r = 0; r < shown_row_count(&v); ++r) rows.push_back(shown_file_row(&v, r));
    return rows;
}

// What must hold of any order shown, however the count has grown since it was made: each row it
// shows is a counted row below the rows it was made for, and shows once.
inline void expect_order_sound(const Viewer &v) {
    const std::vector<int32_t> rows = shown_rows_of(v);
    ASSERT_LE(v.order.rows, v.row_count);
    if (v.order.shown) ASSERT_LE(v.order.shown_count, v.order.rows);
    std::vector<char> seen(static_cast<size_t>(v.row_count), 0);
    for (int32_t f : rows) {
        ASSERT_GE(f, 0);
        ASSERT_LT(f, v.order.shown ? v.order.rows : v.row_count);
        ASSERT_FALSE(seen[static_cast<size_t>(f)]) << "row " << f << " shows twice";
        seen[static_cast<size_t>(f)] = 1;
    }
    if (!rows.empty()) {
        ASSERT_GE(v.cur_row, 0);
        ASSERT_LT(v.cur_row, static_cast<int32_t>(rows.size()));
        ASSERT_GE(v.anchor_row, 0);
        ASSERT_LT(v.anchor_row, static_cast<int32_t>(rows.size()));
    }
}

// A dump of `rows` rows: an id (0, 1, ...), a number that repeats every 7 rows, and a word that
// holds "x" in every third row.
inline std::string counted_dump(int rows) {
    std::string lines;
    lines.reserve(static_cast<size_t>(rows) * 24);
    for (int r = 0; r < rows; ++r)
        lines += std::to_string(r) + "\t" + std::to_string((r * 5) % 7) + "\t" +
                 (r % 3 == 0 ? "wax" : "word") + "\n";
    return magic() +
           section("SQL", "CREATE TABLE t (\n    id integer,\n    n integer,\n    w text\n);\n") +
           section("DATA", "COPY t (id, n, w) FROM stdin;\n" + lines + "\\.\n");
}
