// Every reader of the rows finds each field where the rows' one extent says it lies: the grid's
// cells, sort, find and the filter's scan, Ctrl+C, Copy as and the value view, over lines ending in
// a carriage return, empty and missing fields, rows longer than the header and escapes.
#include <gtest/gtest.h>

#include "export/copy_as.h"
#include "export/row_fields.h"
#include "export/value_view.h"
#include "find/find.h"
#include "find/grid_scan.h"
#include "grid/cells.h"
#include "grid/selection_text.h"
#include "order/sort_column.h"
#include "temp_dump.h"

#include <string>
#include <vector>

namespace {

// The rows under the header "a, b, c", CR LF ends among them, as the server never writes them but
// files saved on Windows hold them.
const char *const kLines[] = {
    "1\tplain\tlast\r",       // the CR is the last field's last byte
    "\t\t",                   // three empty fields
    "only",                   // two fields missing
    "x\ty\tz\textra\tmore\r", // more fields than columns
    "q\\tw\t\\N\t\\N\r",      // an escape, a NULL, and "\N" before the CR, which is no NULL
    "\r",                     // one field holding a CR
    "",                       // one empty field
    "\\.\r",                  // not the end line: a CR follows its dot
    "t\\r\\n\t\\\\\tend\\\r", // escaped CR and LF, a backslash, and one before the CR
};
const int kRows = sizeof kLines / sizeof kLines[0];

// The plain reading: a line split at its tabs, every byte kept.
std::vector<std::string> split(const std::string &line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

// What Ctrl+C copies of a raw field (short ones, as these are): "\t" a blank, "\n" and "\r"
// dropped, a backslash before another byte that byte, a final lone one kept; NULL as nothing.
std::string copied_by_grid(const std::string &raw) {
    if (raw == "\\N") return "";
    std::string out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 == raw.size()) {
            out += raw[i];
        } else if (raw[++i] == 't') {
            out += ' ';
        } else if (raw[i] != 'n' && raw[i] != 'r') {
            out += raw[i];
        }
    }
    return out;
}

class RowsReadAlike : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string lines;
        for (const char *line : kLines) lines += std::string(line) + "\n";
        dump = std::make_unique<LoadedViewer>(data_dump("a, b, c", lines));
        ASSERT_EQ(dump->loaded, 1);
        ASSERT_EQ(dump->v.row_count, kRows);
        ASSERT_EQ(dump->v.col_count, 3);
    }

    // The one-cell selection's text in a copy format.
    std::string copy_one(int32_t r, int32_t c, CopyFormat format) {
        Viewer &v = dump->v;
        v.cur_row = v.anchor_row = r;
        v.cur_col = v.anchor_col = c;
        StrBuf out;
        if (!copy_as(&v, nullptr, format, &out)) return "<nothing>";
        std::string s(out.data, out.len);
        sb_drop(&out);
        return s;
    }

    std::string ctrl_c(int32_t r, int32_t c) {
        Viewer &v = dump->v;
        v.cur_row = v.anchor_row = r;
        v.cur_col = v.anchor_col = c;
        StrBuf out;
        if (!selection_text(&v, &out)) return "<nothing>";
        std::string s(out.data, out.len);
        sb_drop(&out);
        return s;
    }

    std::string found(const std::string &text, FindDir dir = FIND_NEXT) {
        Needle needle;
        if (!needle_compile(&needle, text.data(), text.size())) return "refused";
        GridHit hit;
        if (!grid_find(&dump->v, &needle, 0, 0, dir, &hit)) return "none";
        return std::to_string(hit.row) + "," + std::to_string(hit.col);
    }

    std::string filtered(const std::string &text) {
        Needle needle;
        if (!needle_compile(&needle, text.data(), text.size())) return "refused";
        uint8_t bits[(kRows + 7) / 8] = {};
        grid_scan_rows(&dump->v, &needle, bits);
        std::string rows;
        for (int r = 0; r < kRows; ++r)
            if (bits[r / 8] & (1u << (r % 8)))
                rows += (rows.empty() ? "" : " ") + std::to_string(r);
        return rows.empty() ? "none" : rows;
    }

    std::unique_ptr<LoadedViewer> dump;
};

TEST_F(RowsReadAlike, TheLoaderCutsLinesAtLineFeedsOnly) {
    for (int r = 0; r < kRows; ++r) EXPECT_EQ(row_at(dump->v, r), kLines[r]) << r;
}

TEST_F(RowsReadAlike, GridSortCopyAsAndTheValueViewFindEveryFieldTheSplitDoes) {
    const Viewer &v = dump->v;
    for (int32_t r = 0; r < kRows; ++r) {
        const std::vector<std::string> fields = split(kLines[r]);
        RowFields walk;
        row_fields_start(&v, r, 0, &walk);
        for (int32_t c = 0; c < 5; ++c) {
            SCOPED_TRACE("row " + std::to_string(r) + ", field " + std::to_string(c));
            const bool has = static_cast<size_t>(c) < fields.size();
            const std::string raw = has ? fields[c] : "";
            const bool null = !has || raw == "\\N";

            const char *field = nullptr;
            size_t len = 0;
            ASSERT_EQ(row_fields_next(&walk, &field, &len), has ? 1 : 0);
            if (has) EXPECT_EQ(std::string(field, len), raw) << "Copy as";

            const SortColumn column = sort_column_of(&v, c, KIND_TEXT);
            uint32_t offset = 0;
            field = sort_column_field(&column, r, &len, &offset);
            ASSERT_EQ(field != nullptr, has) << "sort";
            if (has) {
                EXPECT_EQ(std::string(field, len), raw) << "sort";
                size_t again = 0;
                EXPECT_EQ(sort_column_field_at(&column, offset, &again), field);
                EXPECT_EQ(again, len) << "sort, found again from its place";
            }
            if (c >= v.col_count) continue; // beyond the grid's columns only the walks go

            char room[32];
            cell_text(&v, r, c, room, sizeof room);
            EXPECT_EQ(std::string(room), !has ? "" : null ? "null" : raw) << "grid";

            EXPECT_EQ(ctrl_c(r, c), (has ? copied_by_grid(raw) : "") + "\r\n") << "Ctrl+C";

            StrBuf value;
            const ValueShown shown = cell_value(&v, r, c, &value);
            EXPECT_EQ(shown, null ? VALUE_NULL : VALUE_TEXT) << "value view";
            if (shown == VALUE_TEXT) sb_drop(&value);
        }
    }
}

TEST_F(RowsReadAlike, ALinesCarriageReturnIsCopiedAsTheGridShowsIt) {
    EXPECT_EQ(copy_one(0, 2, COPY_CSV), "c\r\n\"last\r\"\r\n");
    EXPECT_EQ(copy_one(0, 2, COPY_JSON), "[\r\n  {\"c\": \"last\\r\"}\r\n]\r\n");
    EXPECT_EQ(copy_one(0, 2, COPY_SQL_INSERT), "INSERT INTO t (c) VALUES ('last\r');\r\n");
    EXPECT_EQ(copy_one(0, 2, COPY_MARKDOWN), "| c |\r\n| --- |\r\n| last<br> |\r\n");
    // "\N" and a CR is the value N and a CR; the NULL before it stays NULL.
    EXPECT_EQ(copy_one(4, 2, COPY_JSON), "[\r\n  {\"c\": \"N\\r\"}\r\n]\r\n");
    EXPECT_EQ(copy_one(4, 1, COPY_JSON), "[\r\n  {\"b\": null}\r\n]\r\n");
    // A backslash before the CR escapes it, as in the grid's copy: it ends no field.
    StrBuf value;
    ASSERT_EQ(cell_value(&dump->v, 8, 2, &value), VALUE_TEXT);
    EXPECT_EQ(std::string(value.data, value.len), "end\r");
    sb_drop(&value);
    EXPECT_EQ(ctrl_c(8, 2), "end\r\r\n");
}

TEST_F(RowsReadAlike, FindAndTheFilterSeeTheFieldsTheGridShows) {
    EXPECT_EQ(found("last"), "0,2");
    EXPECT_EQ(found("n"), "0,1");
    EXPECT_EQ(found("n", FIND_PREV), "8,2") << "\"end\" and the CR its backslash escapes";
    EXPECT_EQ(filtered("n"), "0 2 4 8") << "\"\\N\" and a CR is the value N, a NULL holds nothing";
    EXPECT_EQ(found("extra"), "none") << "a field past the grid's columns is no cell";
    EXPECT_EQ(filtered("extra"), "none");
    EXPECT_EQ(found("."), "7,0");
    EXPECT_EQ(filtered("w"), "4");
    EXPECT_EQ(found("\\"), "8,1");
}

} // namespace
