// What ListLoad reads before it returns, whatever the file's shape: the header line and 1,000 rows
// once 4 MiB are read, or 16 MiB, a header line open there read to its end; the rest found by the
// count, each step read from the file before it is scanned.
#include <gtest/gtest.h>

#include <string>

#include "base/file_map.h"
#include "document/load.h"
#include "document/read_step.h"
#include "temp_dump.h"
#include "whole_file_rules.h"

namespace {

// `rows` rows of `width` bytes each ("<id>\t" and x's), under a header naming two columns.
std::string rows_of(int rows, size_t width) {
    std::string data = "COPY public.t (id, body) FROM stdin;\n";
    data.reserve(data.size() + static_cast<size_t>(rows) * (width + 1) + 4);
    for (int r = 0; r < rows; ++r) {
        std::string id = std::to_string(r) + "\t";
        data += id + std::string(width - id.size(), 'x') + "\n";
    }
    return data + "\\.\n";
}

// The first screen of `bytes` read from a file as ListLoad reads it, the record brought up to it.
struct FirstScreen {
    explicit FirstScreen(const std::string &bytes) : want(whole_file_rules(bytes)), disk(bytes) {
        FileMap map;
        if (!file_map_open(&map, disk.path()) || !load_begin(&v, &map, &scan)) {
            file_map_close(&map);
            return;
        }
        more = read_first_screen(&scan, &v.map);
        read = file_map_ready(&v.map);
        load_adopt(&v, &scan);
    }
    ~FirstScreen() { viewer_free_blocks(&v); }

    // Counts on as the count's thread does, to the file's end; "" when the record then holds what
    // the whole file's rules give.
    std::string rest() {
        while (read_step(&scan, &v.map, 4u << 20)) {
        }
        load_adopt(&v, &scan);
        return whole_file_difference(&v, want);
    }

    WholeFileDocument want;
    TempFile disk;
    Viewer v{};
    DumpScan scan{};
    int more = -1;
    uint64_t read = 0; // bytes read from the file by the first screen
};

const uint64_t MIB = 1u << 20;

} // namespace

TEST(FirstScreen, ASmallFileIsReadWholeAtOnce) {
    FirstScreen s(magic() + section("DATA", rows_of(100000, 30))); // about 3 MB
    EXPECT_EQ(s.more, 0);
    EXPECT_EQ(s.read, s.v.map.len);
    EXPECT_EQ(s.v.load, LOAD_DONE);
    EXPECT_EQ(whole_file_difference(&s.v, s.want), "");
}

TEST(FirstScreen, ShortRowsStopAfterTheHeaderAndAThousandRowsOnceFourMebibytesAreRead) {
    FirstScreen s(magic() + section("DATA", rows_of(400000, 30))); // about 12 MB
    EXPECT_EQ(s.more, 1);
    EXPECT_GE(s.scan.pos, FIRST_SCREEN_FLOOR);
    EXPECT_LT(s.scan.pos, FIRST_SCREEN_FLOOR + FIRST_SCREEN_STEP);
    EXPECT_GE(s.v.row_count, 1000);
    EXPECT_LE(s.read, s.scan.pos + 8) << "read no further than the steps scanned";
    EXPECT_EQ(std::string(s.v.status), "public.t   \xE2\x80\x94   counting\xE2\x80\xA6 " +
                                           std::to_string(s.v.row_count) + " rows");
    EXPECT_EQ(s.rest(), "");
}

TEST(FirstScreen, HugeFirstRowsStopItAtSixteenMebibytesAndTheCountFindsTheRest) {
    // 20 rows of 2 MiB: a thousand rows of the rule would be the whole file.
    FirstScreen s(magic() + section("DATA", rows_of(20, 2 * MIB)));
    EXPECT_EQ(s.more, 1);
    EXPECT_EQ(s.scan.pos, FIRST_SCREEN_BYTES);
    EXPECT_LE(s.read, FIRST_SCREEN_BYTES + 8);
    EXPECT_EQ(s.v.col_count, 2);
    EXPECT_EQ(s.v.row_count, 7); // the rows whose line feed lies within the first 16 MiB
    EXPECT_EQ(s.rest(), "");
    EXPECT_EQ(s.v.row_count, 20);
}

TEST(FirstScreen, ALongSqlSectionLeavesTheDataBlockToTheCountAndTheStatusSaysHowFarItRead) {
    const std::string sql =
        "CREATE TABLE public.t (id integer, body text);\n-- " + std::string(20 * MIB, '-') + "\n";
    FirstScreen s(magic() + section("SQL", sql) + section("DATA", rows_of(10, 20)));
    EXPECT_EQ(s.more, 1);
    EXPECT_EQ(s.scan.pos, FIRST_SCREEN_BYTES);
    EXPECT_LE(s.read, FIRST_SCREEN_BYTES + 8);
    EXPECT_EQ(s.v.copy_line, nullptr);
    EXPECT_EQ(s.v.sql, nullptr) << "the SQL section is not whole yet";
    EXPECT_EQ(std::string(s.v.status),
              "counting\xE2\x80\xA6 looking for the rows: 16 of 21 MB read");
    EXPECT_EQ(s.rest(), "");
    EXPECT_EQ(s.v.row_count, 10);
    EXPECT_EQ(s.v.col_types[0].kind, KIND_INTEGER);
}

TEST(FirstScreen, AHeaderLineOpenAtTheBoundIsReadToItsEnd) {
    // The data block's header line begins 100 bytes before the bound and runs 1,000 bytes past it.
    const std::string head = magic() + section("SQL", "");
    const std::string marker = "\x01[DATA]\n";
    std::string names;
    int columns = 0;
    for (; names.size() < 1100; ++columns)
        names += (columns ? ", c" : "c") + std::to_string(columns);
    const std::string sql_fill(FIRST_SCREEN_BYTES - 100 - head.size() - marker.size(), 's');
    std::string data = "COPY public.t (" + names + ") FROM stdin;\n";
    for (int r = 0; r < 5000; ++r) data += std::to_string(r) + "\n";
    FirstScreen s(head + sql_fill + marker + data + "\\.\n");
    EXPECT_EQ(s.more, 1);
    ASSERT_NE(s.v.copy_line, nullptr);
    EXPECT_EQ(s.v.col_count, columns);
    EXPECT_LE(s.scan.pos, s.scan.header_end + 1 + FIRST_SCREEN_HEADER_STEP);
    EXPECT_LE(s.read, s.scan.pos + 8);
    EXPECT_EQ(s.rest(), "");
    EXPECT_EQ(s.v.row_count, 5000);
}

TEST(FirstScreen, AHeaderLineLongerThanTheRestAllowedIsLeftToTheCount) {
    const std::string head = magic() + section("DATA", "COPY public.t (");
    std::string names;
    for (int c = 0; names.size() < FIRST_SCREEN_BYTES + 2 * MIB; ++c)
        names += (c ? ", column_" : "column_") + std::to_string(c);
    FirstScreen s(head + names + ") FROM stdin;\n1\n\\.\n");
    EXPECT_EQ(s.more, 1);
    EXPECT_EQ(s.scan.pos, FIRST_SCREEN_BYTES + FIRST_SCREEN_HEADER_REST);
    EXPECT_EQ(s.v.copy_line, nullptr);
    EXPECT_EQ(s.rest(), "");
    EXPECT_EQ(s.v.row_count, 1);
}

TEST(ReadStep, EveryStepOfAFewBytesReadsTheMarkersItMeetsWhole) {
    // Markers, the header line and rows fall on every possible step boundary.
    const std::string file =
        magic() + section("SQL", "CREATE TABLE public.t (a integer, b text);\n") +
        section("INFO", "made for the test\n") +
        section("DATA", "COPY public.t (a, b) FROM stdin;\n1\tone\n2\ttwo\n\\.\n") +
        section("INFO", "a second INFO marker, which is text\n");
    const WholeFileDocument want = whole_file_rules(file);
    for (uint64_t budget = 1; budget <= 16; ++budget)
        EXPECT_EQ(counted_from_disk_difference(file, budget, want, false), "") << budget;
}
