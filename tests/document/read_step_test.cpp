// What ListLoad reads before it returns, whatever the file's shape: the header line and 1,000 rows
// once 4 MiB are read, or 16 MiB, a header line open there read to its end within 1 MiB more; and
// the count, reading each step before it scans it, finds the rest.
#include <gtest/gtest.h>

#include <string>

#include "base/file_map.h"
#include "document/read_step.h"
#include "whole_file_rules.h"

namespace {

const uint64_t MIB = 1u << 20;

// `rows` rows of `width` bytes each under a header naming two columns, after an SQL section of
// `sql` bytes.
std::string dump(int rows, size_t width, size_t sql = 0) {
    std::string data = "COPY public.t (id, body) FROM stdin;\n";
    for (int r = 0; r < rows; ++r) {
        std::string id = std::to_string(r) + "\t";
        data += id + std::string(width - id.size(), 'x') + "\n";
    }
    return magic() +
           section("SQL", "CREATE TABLE public.t (id integer, body text);\n" +
                              std::string(sql, '-') + "\n") +
           section("DATA", data + "\\.\n");
}

// A header line that begins `before` bytes before the 16 MiB bound and is `len` bytes long, then
// 10,000 short rows.
std::string header_across_the_bound(size_t before, size_t len) {
    std::string head = magic() + section("SQL", "");
    head += std::string(FIRST_SCREEN_BYTES - before - head.size() - 8, 's') + "\x01[DATA]\n";
    head += "COPY public.t (" + std::string(len - 23, 'c') + ") FROM stdin;\n";
    for (int r = 0; r < 10000; ++r) head += std::to_string(r) + "\n";
    return head + "\\.\n";
}

struct Shape {
    const char *name;
    std::string bytes;
    int more;                     // what read_first_screen answers
    uint64_t pos_least, pos_most; // where the first screen stops
    int32_t rows; // rows it shows; -1: no header line yet, -2: a thousand or more, -3: any
    const char *status = nullptr;
};

} // namespace

TEST(FirstScreen, StopsAtTheHeaderAndAThousandRowsOrSixteenMebibytesAndTheCountFindsTheRest) {
    const Shape shapes[] = {
        {"a small file, whole", dump(100000, 30), 0, 0, UINT64_MAX, 100000},
        {"short rows", dump(400000, 30), 1, FIRST_SCREEN_FLOOR,
         FIRST_SCREEN_FLOOR + FIRST_SCREEN_STEP, -2},
        {"rows of 2 MiB", dump(20, 2 * MIB), 1, FIRST_SCREEN_BYTES, FIRST_SCREEN_BYTES, 7},
        {"a long SQL section", dump(10, 20, 20 * MIB), 1, FIRST_SCREEN_BYTES, FIRST_SCREEN_BYTES,
         -1, "counting\xE2\x80\xA6 looking for the rows: 16 of 21 MB read"},
        {"a header line across the bound", header_across_the_bound(100, 1100), 1,
         FIRST_SCREEN_BYTES + 1000, FIRST_SCREEN_BYTES + 1000 + FIRST_SCREEN_HEADER_STEP, -3},
        {"a header line longer than the rest", header_across_the_bound(100, 2 * MIB), 1,
         FIRST_SCREEN_BYTES + FIRST_SCREEN_HEADER_REST,
         FIRST_SCREEN_BYTES + FIRST_SCREEN_HEADER_REST, -1,
         "counting\xE2\x80\xA6 looking for the rows: 17 of 19 MB read"},
    };
    for (const Shape &s : shapes) {
        TempFile disk(s.bytes);
        FileMap map;
        Viewer v{};
        DumpScan scan;
        ASSERT_TRUE(file_map_open(&map, disk.path()) && load_begin(&v, &map, &scan)) << s.name;
        EXPECT_EQ(read_first_screen(&scan, &v.map), s.more) << s.name;
        EXPECT_LE(file_map_ready(&v.map), scan.pos + 8) << s.name << ": read past its steps";
        EXPECT_GE(scan.pos, s.pos_least) << s.name;
        EXPECT_LE(scan.pos, s.pos_most) << s.name;
        ASSERT_EQ(load_adopt(&v, &scan), 1);
        if (s.rows == -1) EXPECT_EQ(v.copy_line, nullptr) << s.name;
        if (s.status) EXPECT_EQ(std::string(v.status), s.status) << s.name;
        if (s.rows == -2) EXPECT_GE(v.row_count, 1000) << s.name;
        if (s.rows == -3) EXPECT_NE(v.copy_line, nullptr) << s.name;
        if (s.rows >= 0) EXPECT_EQ(v.row_count, s.rows) << s.name;
        while (read_step(&scan, &v.map, 4 * MIB)) {
        }
        load_adopt(&v, &scan);
        EXPECT_EQ(whole_file_difference(&v, whole_file_rules(s.bytes)), "") << s.name;
        viewer_free_blocks(&v);
    }
}
