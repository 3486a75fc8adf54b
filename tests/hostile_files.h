// Test support: hostile and odd dump files, each with what loading it must give, shared by the
// loader's tests and the module's tests so that both read exactly the same bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "temp_dump.h"

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <sys/types.h>
#include <unistd.h>
#endif

// What a load must give. Everything after `loads` holds only for a file that loads. An absent
// text (nullopt) is a null pointer in the record; an absent name is a column without a name slot
// filled.
struct HostileFile {
    std::string bytes;
    bool loads = true;
    int32_t col_count = 0;
    std::string status;
    std::optional<std::string> sql, info, copy_line;
    // The name slots 0 .. min(col_count, MAX_COLS) - 1, all of them.
    std::vector<std::optional<std::string>> col_names;
    // Every row, in order; its size is the row count.
    std::vector<std::string> rows;
    // The clipboard text of the whole grid selected, where it is worth stating byte for byte.
    std::optional<std::string> select_all;
};

struct HostileCase {
    const char *name; // a test name: letters and digits only
    HostileFile (*make)();
};

namespace hostile {

using namespace std::string_literals; // "..."s keeps the NUL bytes inside a literal

inline std::string status_of(const std::string &table, int rows) {
    return table + "   \xE2\x80\x94   " + std::to_string(rows) + " rows";
}

inline const std::string kSqlOnly = "object (SQL only)";
inline const std::string kCreate = "CREATE TABLE t (a int, b text);\n";
inline const std::string kHeaderAB = "COPY t (a, b) FROM stdin;";
inline const std::size_t kMegabyte = 1u << 20;

// The data block most cases carry: the header line kHeaderAB (names a and b) and these rows.
inline void ab_block(HostileFile *f, std::vector<std::string> rows) {
    f->copy_line = kHeaderAB;
    f->col_count = 2;
    f->col_names = {"a", "b"};
    f->status = status_of("t", static_cast<int>(rows.size()));
    f->rows = std::move(rows);
}

// One of each kind of ill-formed UTF-8, each after a plain letter so that every bad stretch stands
// apart: a lone continuation byte, overlong forms of '/' in two, three and four bytes, a three-byte
// sequence cut short, the bytes 0xFE and 0xFF, both ends of the surrogate range written as UTF-8,
// a code point past U+10FFFF, and last a four-byte sequence cut short. No byte of it is a blank, a
// tab, a backslash, a quote, a parenthesis, a comma or a control character, so it can stand in a
// table name, a column name or a cell without changing how the line splits.
inline std::string ill_formed_utf8() {
    return std::string("a\x80") + "b\xC0\xAF" + "c\xE0\x80\xAF" + "d\xF0\x80\x80\xAF" +
           "e\xE2\x82" + "f\xFE" + "g\xFF" + "h\xED\xA0\x80" + "i\xED\xBF\xBF" +
           "j\xF4\x90\x80\x80" + "k\xF0\x9F\x98";
}

inline HostileFile refused(const std::string &bytes) {
    HostileFile f;
    f.bytes = bytes;
    f.loads = false;
    return f;
}

inline HostileFile empty_file() {
    return refused("");
}

inline HostileFile seven_bytes() {
    return refused(magic().substr(0, 7));
}

inline HostileFile magic_only() {
    HostileFile f;
    f.bytes = magic();
    f.status = kSqlOnly;
    return f;
}

// Nothing in the file is a NUL, and its last row has neither line feed nor terminator: the rows
// and their last cell end where the file does, with nothing after it to read.
inline HostileFile no_nul_row_runs_to_the_end() {
    HostileFile f;
    f.bytes = magic() + section("SQL", kCreate) + section("INFO", "made by hand\n") +
              section("DATA", kHeaderAB + "\n1\tx\n2\tlast");
    f.sql = kCreate;
    f.info = "made by hand\n";
    ab_block(&f, {"1\tx", "2\tlast"});
    f.select_all = "1\tx\r\n2\tlast\r\n";
    return f;
}

// The same with the SQL text last, running to the end of the file without a line feed.
inline HostileFile no_nul_sql_runs_to_the_end() {
    HostileFile f;
    f.bytes = magic() + section("DATA", kHeaderAB + "\n1\tx\n\\.\n") + section("INFO", "i") +
              section("SQL", "CREATE TABLE t (a int, b text)");
    f.sql = "CREATE TABLE t (a int, b text)";
    f.info = "i";
    ab_block(&f, {"1\tx"});
    return f;
}

// A NUL ends the text for every search: the sections after it are not found.
inline HostileFile nul_in_sql() {
    HostileFile f;
    f.bytes = magic() + section("SQL", "CREATE TABLE t\0(a int);\n"s) +
              section("INFO", "hidden\n") + section("DATA", kHeaderAB + "\n1\tx\n\\.\n");
    f.sql = "CREATE TABLE t";
    f.status = kSqlOnly;
    return f;
}

inline HostileFile nul_in_info() {
    HostileFile f;
    f.bytes = magic() + section("SQL", kCreate) + section("DATA", kHeaderAB + "\n1\tx\n\\.\n") +
              section("INFO", "before\0after\n"s);
    f.sql = kCreate;
    f.info = "before";
    ab_block(&f, {"1\tx"});
    return f;
}

// The header line ends at the NUL, before its closing parenthesis and its line feed: no names and
// no rows.
inline HostileFile nul_in_header_line() {
    HostileFile f;
    f.bytes = magic() + section("DATA", "COPY t (a,\0 b) FROM stdin;\n1\tx\n\\.\n"s);
    f.copy_line = "COPY t (a,";
    f.status = status_of("t", 0);
    return f;
}

inline HostileFile nul_in_row() {
    HostileFile f;
    f.bytes = magic() + section("DATA", kHeaderAB + "\n1\tx\n2\t\0y\n3\tz\n\\.\n"s) +
              section("INFO", "hidden\n");
    ab_block(&f, {"1\tx", "2\t"});
    f.select_all = "1\tx\r\n2\t\r\n";
    return f;
}

// A second SQL marker inside a row is row text: only the first marker of a name counts.
inline HostileFile sql_marker_inside_a_row() {
    HostileFile f;
    f.bytes = magic() + section("SQL", kCreate) +
              section("DATA", kHeaderAB + "\n1\tbefore\x01[SQL]\nafter\t2\n\\.\n");
    f.sql = kCreate;
    ab_block(&f, {"1\tbefore\x01[SQL]", "after\t2"});
    f.select_all = "1\tbefore\x01[SQL]\r\nafter\t2\r\n";
    return f;
}

// An INFO marker inside a row, with no INFO section before it, starts the information text there,
// which runs on to the text's end over the rows after it: the rows are not cut out of the file.
inline HostileFile info_marker_inside_a_row() {
    HostileFile f;
    f.bytes = magic() + section("DATA", kHeaderAB + "\n1\tx\x01[INFO]\nnote\n2\ty\n\\.\n");
    f.info = "note\n2\ty\n\\.\n";
    ab_block(&f, {"1\tx\x01[INFO]", "note", "2\ty"});
    f.select_all = "1\tx\x01[INFO]\r\nnote\t\r\n2\ty\r\n";
    return f;
}

// Every marker twice in a row: SQL and INFO are present but empty (each ends at the 0x01 that
// follows at once), and the data block's header line is the second DATA marker's line, so the
// COPY statement becomes the first row.
inline HostileFile markers_repeated() {
    HostileFile f;
    f.bytes = magic() + "\x01[SQL]\n\x01[SQL]\n\x01[INFO]\n\x01[INFO]\n\x01[DATA]\n\x01[DATA]\n" +
              "COPY t (a) FROM stdin;\n1\n\\.\n";
    f.sql = "";
    f.info = "";
    f.copy_line = "\x01[DATA]";
    f.col_count = 1;
    f.col_names = {std::nullopt};
    f.rows = {"COPY t (a) FROM stdin;", "1"};
    // The table name is the header line from its sixth byte: "A]" of "\x01[DATA]".
    f.status = status_of("A]", 2);
    f.select_all = "COPY t (a) FROM stdin;\r\n1\r\n";
    return f;
}

inline HostileFile info_marker_ends_the_file() {
    HostileFile f;
    f.bytes = magic() + section("SQL", kCreate) + section("DATA", kHeaderAB + "\n1\tx\n\\.\n") +
              "\x01[INFO]\n";
    f.sql = kCreate;
    f.info = "";
    ab_block(&f, {"1\tx"});
    return f;
}

inline HostileFile data_marker_ends_the_file() {
    HostileFile f;
    f.bytes = magic() + section("SQL", kCreate) + "\x01[DATA]\n";
    f.sql = kCreate;
    f.copy_line = "";
    f.status = status_of("table", 0);
    return f;
}

// The file ends inside a marker, shorter than any marker is: no search may compare past the end.
inline HostileFile marker_cut_short_at_the_end() {
    HostileFile f;
    f.bytes = magic() + section("SQL", kCreate) + "\x01[DAT";
    f.sql = kCreate;
    f.status = kSqlOnly;
    return f;
}

// A header line of one megabyte and no line feed: a table name far past the 255 bytes kept and
// one column whose name is most of the rest.
inline HostileFile megabyte_header_line() {
    const std::string table(kMegabyte / 2, 'n');
    const std::string tail = ") FROM stdin;";
    const std::string column(kMegabyte - 5 - table.size() - 2 - tail.size(), 'c');
    const std::string line = "COPY " + table + " (" + column + tail;
    HostileFile f;
    f.bytes = magic() + section("SQL", "CREATE TABLE n (c int);\n") + section("DATA", line);
    f.sql = "CREATE TABLE n (c int);\n";
    f.copy_line = line;
    f.col_count = 1;
    f.col_names = {column};
    f.status = status_of(std::string(255, 'n'), 0);
    return f;
}

// A row of one megabyte and no line feed: a long first field, then a short one.
inline HostileFile megabyte_row() {
    const std::string row = std::string(kMegabyte - 4, 'x') + "\tend";
    HostileFile f;
    f.bytes = magic() + section("DATA", kHeaderAB + "\n" + row);
    ab_block(&f, {row});
    // A copied cell keeps its first 8191 bytes; the field after it is not lost.
    f.select_all = std::string(8191, 'x') + "\tend\r\n";
    return f;
}

inline HostileFile hundred_thousand_empty_lines() {
    HostileFile f;
    f.bytes =
        magic() + section("DATA", "COPY t (a) FROM stdin;\n" + std::string(100000, '\n') + "\\.\n");
    f.copy_line = "COPY t (a) FROM stdin;";
    f.col_count = 1;
    f.col_names = {"a"};
    f.rows.assign(100000, "");
    f.status = status_of("t", 100000);
    std::string copy;
    for (int i = 0; i < 100000; ++i) copy += "\r\n";
    f.select_all = copy;
    return f;
}

// 300 names in the header and 300 fields in each row: 256 names are kept and the grid has 256
// columns, so a copy of everything takes 256 fields of each row.
inline HostileFile three_hundred_named_columns() {
    std::string names, row0, row1, copy0, copy1;
    HostileFile f;
    for (int c = 0; c < 300; ++c) {
        const std::string n = std::to_string(c);
        names += (c ? ", c" : "c") + n;
        row0 += (c ? "\tr0c" : "r0c") + n;
        row1 += (c ? "\t" : "") + (c % 2 ? std::string("\\N") : "r1c" + n);
        if (c < 256) {
            f.col_names.push_back("c" + n);
            copy0 += (c ? "\tr0c" : "r0c") + n;
            copy1 += (c ? "\t" : "") + (c % 2 ? std::string() : "r1c" + n);
        }
    }
    f.bytes = magic() + section("DATA", "COPY wide (" + names + ") FROM stdin;\n" + row0 + "\n" +
                                            row1 + "\n\\.\n");
    f.copy_line = "COPY wide (" + names + ") FROM stdin;";
    f.col_count = 256;
    f.rows = {row0, row1};
    f.status = status_of("wide", 2);
    f.select_all = copy0 + "\r\n" + copy1 + "\r\n";
    return f;
}

// Ill-formed UTF-8 in the table name, the column names, the cells (also where the last row ends
// the file), the SQL and the information text (also where it ends at the next marker).
inline HostileFile ill_formed_utf8_everywhere() {
    const std::string x = ill_formed_utf8();
    const std::string header = "COPY bad" + x + " (n" + x + ", m" + x + ") FROM stdin;";
    const std::string sql = "CREATE TABLE bad" + x + " (n" + x + " text);\n";
    const std::string info = "info " + x + "\nends cut \xE2\x82";
    HostileFile f;
    f.bytes = magic() + section("SQL", sql) + section("INFO", info) +
              section("DATA", header + "\n" + x + "\tv" + x + "\n\\N\t" + x + "\nlast\t\xC3");
    f.sql = sql;
    f.info = info;
    f.copy_line = header;
    f.col_count = 2;
    f.col_names = {"n" + x, "m" + x};
    f.rows = {x + "\tv" + x, "\\N\t" + x, "last\t\xC3"};
    f.status = status_of("bad" + x, 3);
    f.select_all = x + "\tv" + x + "\r\n\t" + x + "\r\nlast\t\xC3\r\n";
    return f;
}

// A table name longer than the 255 bytes kept, of two-byte characters placed so that the cut
// falls between the two bytes of one: the status then holds half a character.
inline HostileFile table_name_cut_inside_a_character() {
    std::string name;
    for (int i = 0; i < 200; ++i) name += "\xC3\xA9";
    HostileFile f;
    f.bytes = magic() + section("DATA", "COPY " + name + " (a) FROM stdin;\n1\n\\.\n");
    f.copy_line = "COPY " + name + " (a) FROM stdin;";
    f.col_count = 1;
    f.col_names = {"a"};
    f.rows = {"1"};
    f.status = status_of(name.substr(0, 255), 1);
    return f;
}

} // namespace hostile

inline const std::vector<HostileCase> &hostile_cases() {
    static const std::vector<HostileCase> cases = {
        {"EmptyFile", hostile::empty_file},
        {"SevenBytes", hostile::seven_bytes},
        {"MagicOnly", hostile::magic_only},
        {"NoNulRowRunsToTheEnd", hostile::no_nul_row_runs_to_the_end},
        {"NoNulSqlRunsToTheEnd", hostile::no_nul_sql_runs_to_the_end},
        {"NulInSql", hostile::nul_in_sql},
        {"NulInInfo", hostile::nul_in_info},
        {"NulInHeaderLine", hostile::nul_in_header_line},
        {"NulInRow", hostile::nul_in_row},
        {"SqlMarkerInsideARow", hostile::sql_marker_inside_a_row},
        {"InfoMarkerInsideARow", hostile::info_marker_inside_a_row},
        {"MarkersRepeated", hostile::markers_repeated},
        {"InfoMarkerEndsTheFile", hostile::info_marker_ends_the_file},
        {"DataMarkerEndsTheFile", hostile::data_marker_ends_the_file},
        {"MarkerCutShortAtTheEnd", hostile::marker_cut_short_at_the_end},
        {"MegabyteHeaderLine", hostile::megabyte_header_line},
        {"MegabyteRow", hostile::megabyte_row},
        {"HundredThousandEmptyLines", hostile::hundred_thousand_empty_lines},
        {"ThreeHundredNamedColumns", hostile::three_hundred_named_columns},
        {"IllFormedUtf8Everywhere", hostile::ill_formed_utf8_everywhere},
        {"TableNameCutInsideACharacter", hostile::table_name_cut_inside_a_character},
    };
    return cases;
}

// The cases whose file loads: those that have a document to read.
inline std::vector<HostileCase> loading_hostile_cases() {
    std::vector<HostileCase> loading;
    for (const HostileCase &c : hostile_cases())
        if (c.make().loads) loading.push_back(c);
    return loading;
}

// The huge files are made apart: a small valid dump extended by a hole. Loaded alone, the dump
// below loads; so a loader that cut a 4 GiB + 100 byte length to 32 bits would take it.
inline std::string sparse_dump_head() {
    std::string file = magic() + section("DATA", "COPY t (a) FROM stdin;\n");
    file += std::string(100 - 1 - file.size(), 'x') + "\n";
    return file;
}

enum : int64_t {
    TWO_GIB_AND_ONE = INT64_C(0x80000001),
    FOUR_GIB_AND_100 = INT64_C(0x100000000) + 100,
};

// Extends an existing file to `size` bytes without writing them: the new part is a hole. Returns
// false where the file system cannot make one, so the caller skips rather than write gigabytes.
inline bool extend_sparse(const char *path, int64_t size) {
#ifdef _WIN32
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD unused = 0;
    LARGE_INTEGER end;
    end.QuadPart = size;
    bool ok = DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr) &&
              SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    return ok;
#else
    if (sizeof(off_t) < 8) return false;
    return truncate(path, static_cast<off_t>(size)) == 0;
#endif
}
