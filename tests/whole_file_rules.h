// Test support: the loader's rules applied to a whole file at once, the way the loader read files
// before it learnt to count in steps over a mapped file. Each rule stands as a plain search over
// the file's bytes, so the counting scan (document/dump_scan.h) can be checked against it on any
// input: the same sections, header line, names, rows and status, byte for byte.
#pragma once

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "document/dump_scan.h"
#include "document/header_line.h"
#include "document/load.h"
#include "document/read_step.h"
#include "document/rows.h"
#include "document/viewer.h"
#include "temp_dump.h"

struct WholeFileDocument {
    bool loads = false;
    std::optional<std::string> sql, info, copy_line;
    int32_t col_count = 0;
    std::vector<std::optional<std::string>> names; // min(col_count, MAX_COLS) slots
    std::vector<std::string> rows;
    std::string status;
};

inline WholeFileDocument whole_file_rules(const std::string &file) {
    WholeFileDocument d;
    if (file.size() < 8 || file.compare(0, 8, "KMZTAB01") != 0) return d;
    d.loads = true;
    // The text ends at the first NUL.
    const size_t text_end = std::min(file.find('\0'), file.size());
    const std::string text = file.substr(0, text_end);
    const char *markers[3] = {"\x01[SQL]\n", "\x01[INFO]\n", "\x01[DATA]\n"};
    size_t start[3];
    for (int k = 0; k < 3; ++k) {
        size_t at = text.find(markers[k], 8);
        start[k] = at == std::string::npos ? std::string::npos : at + std::strlen(markers[k]);
    }
    // SQL and INFO end at the next 0x01 after their start; such an end inside the data block ends
    // the block there.
    size_t data_end = text_end;
    for (int k = 0; k < 2; ++k) {
        if (start[k] == std::string::npos) continue;
        size_t cut = std::min(text.find('\x01', start[k]), text_end);
        (k == 0 ? d.sql : d.info) = text.substr(start[k], cut - start[k]);
        if (start[2] != std::string::npos && cut >= start[2] && cut < data_end) data_end = cut;
    }
    if (start[2] == std::string::npos) {
        d.status = "object (SQL only)";
        return d;
    }
    const std::string data = text.substr(start[2], data_end - start[2]);
    const size_t lf = data.find('\n');
    d.copy_line = data.substr(0, lf);
    std::string cut = *d.copy_line;
    std::vector<char *> names(MAX_COLS, nullptr);
    d.col_count = cut_column_names(cut.data(), cut.size(), names.data());
    for (int32_t c = 0; c < d.col_count; ++c) d.names.push_back(std::string(names[c]));
    if (lf != std::string::npos) {
        for (size_t line = lf + 1; line < data.size();) {
            size_t next = data.find('\n', line);
            std::string row =
                data.substr(line, next == std::string::npos ? std::string::npos : next - line);
            if (row == "\\.") break;
            d.rows.push_back(row);
            if (next == std::string::npos) break;
            line = next + 1;
        }
    }
    if (d.col_count == 0 && !d.rows.empty()) {
        d.col_count =
            1 + static_cast<int32_t>(std::count(d.rows[0].begin(), d.rows[0].end(), '\t'));
        d.col_count = std::min<int32_t>(d.col_count, MAX_TABLE_COLS);
    }
    char name[TABLE_NAME_MAX + 1];
    table_name_of(cut.c_str(), name);
    char status[STATUS_LEN];
    format_status(status, name, static_cast<int32_t>(d.rows.size()), STATUS_COUNTED);
    d.status = status;
    return d;
}

// What the loader made, against the rules' document: "" when they agree, else the first thing that
// differs.
inline std::string whole_file_difference(const Viewer *v, const WholeFileDocument &want) {
    if (!want.loads) return "the rules refuse the file";
    auto same = [](const char *text, size_t len, const std::optional<std::string> &w) {
        return w ? text && std::string(text, len) == *w : text == nullptr;
    };
    if (!same(v->sql, v->sql_len, want.sql)) return "the SQL section";
    if (!same(v->info, v->info_len, want.info)) return "the INFO section";
    if (!same(v->copy_line, v->copy_line ? std::strlen(v->copy_line) : 0, want.copy_line))
        return "the header line";
    if (v->col_count != want.col_count) return "the column count";
    for (int32_t c = 0; c < MAX_COLS; ++c) {
        const bool named = c < static_cast<int32_t>(want.names.size());
        if (named ? !v->col_names[c] || *want.names[c] != v->col_names[c]
                  : v->col_names[c] != nullptr)
            return "the name of column " + std::to_string(c);
    }
    if (v->row_count != static_cast<int32_t>(want.rows.size())) return "the row count";
    for (int32_t r = 0; r < v->row_count; ++r) {
        RowLine line = row_line(v, r);
        if (std::string(line.start, line.end) != want.rows[r]) return "row " + std::to_string(r);
    }
    if (std::string(v->status) != want.status) return "the status";
    return "";
}

// The file counted in steps, the first of `budget` bytes and each next one twice and one more (or,
// without `grow`, every one of `budget` bytes), as the viewer counts a large file while it shows
// the first rows: after every step what the record shows must be a beginning of the whole, and at
// the end the whole. The record takes `map` over: bytes of the caller's (a null handle), or a
// file the viewer reads before each step, which must never have been scanned past what was read.
// "" when it is, else the first thing that differs.
inline std::string counted_in_steps_difference(FileMap map, uint64_t budget,
                                               const WholeFileDocument &want, bool grow = true) {
    const bool caller_bytes = map.handle == nullptr;
    Viewer v{};
    DumpScan scan;
    if (load_begin(&v, &map, &scan) != 1) {
        if (!caller_bytes) file_map_close(&map);
        return "the counting load refuses the file";
    }
    std::string differs;
    int32_t rows_before = 0;
    for (bool more = true; more && differs.empty(); budget = grow ? budget * 2 + 1 : budget) {
        more = read_step(&scan, &v.map, budget) == 1;
        if (more && scan.pos > file_map_ready(&v.map)) differs = "the scan passed what was read";
        if (load_adopt(&v, &scan) != 1) differs = "a step's rows cannot be taken up";
        if (v.row_count < rows_before || v.row_count > static_cast<int32_t>(want.rows.size()))
            differs = "the rows counted so far";
        for (int32_t r = rows_before; differs.empty() && r < v.row_count; ++r) {
            RowLine line = row_line(&v, r);
            if (std::string(line.start, line.end) != want.rows[r])
                differs = "row " + std::to_string(r) + " while counting";
        }
        rows_before = v.row_count;
        if ((v.load == LOAD_DONE) == more) differs = "the end of the count";
        if (v.sql && !(want.sql && std::string(v.sql, v.sql_len) == *want.sql))
            differs = "the SQL section while counting";
        if (v.info && !(want.info && std::string(v.info, v.info_len) == *want.info))
            differs = "the INFO section while counting";
    }
    if (differs.empty()) differs = whole_file_difference(&v, want);
    if (caller_bytes) v.map = FileMap{}; // the bytes are the caller's
    viewer_free_blocks(&v);
    return differs;
}

inline std::string counted_in_steps_difference(const std::string &file, uint64_t budget,
                                               const WholeFileDocument &want) {
    return counted_in_steps_difference(FileMap{file.data(), file.size(), nullptr}, budget, want);
}

// The same over the file written to disk and opened as the viewer opens it.
inline std::string counted_from_disk_difference(const std::string &file, uint64_t budget,
                                                const WholeFileDocument &want, bool grow = true) {
    TempFile disk(file);
    FileMap map;
    if (!file_map_open(&map, disk.path())) return "the file cannot be opened";
    return counted_in_steps_difference(map, budget, want, grow);
}
