// Real dumps written by pg_dump, opened as the viewer opens them and checked against the server.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "document/load.h"
#include "document/rows.h"
#include "document/viewer.h"
#include "cell_forms.h"
#include "expected_sample.h"
#include "grid/cells.h"
#include "grid/cursor.h"
#include "temp_dump.h"
#include "grid/selection_text.h"

static const std::string kExamples = TAVRIN_EXAMPLES_DIR;

// The status line: the table name as the COPY line writes it (a quoted stretch with its blanks is
// part of it) and the server's row count.
static std::string expected_status(const std::string &table, long rows) {
    return table + "   \xE2\x80\x94   " + std::to_string(rows) + " rows";
}

static std::string joined(const std::vector<std::string> &names, const char *separator) {
    std::string out;
    for (size_t i = 0; i < names.size(); ++i) out += (i ? separator : "") + names[i];
    return out;
}

static std::vector<std::string> sample_stems() {
    std::vector<std::string> stems;
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator(kExamples, ec)) {
        std::string name = entry.path().filename().string();
        if (name.size() > 3 && name.ends_with(".pg"))
            stems.push_back(name.substr(0, name.size() - 3));
    }
    std::sort(stems.begin(), stems.end());
    return stems;
}

class ServerSample : public testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        std::string base = kExamples + "/" + GetParam();
        std::string error;
        ASSERT_TRUE(read_expected_sample(base + ".expected.tsv", &expected, &error)) << error;
        ASSERT_EQ(expected.cells.size(), static_cast<size_t>(expected.rows));
        ASSERT_EQ(load_file(&v, (base + ".pg").c_str()), 1) << base << ".pg";
        ASSERT_EQ(v.row_count, expected.rows);
    }
    void TearDown() override { viewer_free_blocks(&v); }

    Viewer v{};
    ExpectedSample expected;
};

TEST_P(ServerSample, StatusLineNamesTheQuotedTableAndCountsTheRows) {
    EXPECT_EQ(std::string(v.status), expected_status(expected.table, expected.rows));
}

TEST_P(ServerSample, HeaderLineIsTheCopyStatementOverTheServersQuotedColumns) {
    ASSERT_NE(v.copy_line, nullptr);
    EXPECT_EQ(std::string(v.copy_line),
              "COPY " + expected.table + " (" + joined(expected.columns, ", ") + ") FROM stdin;");
}

// Quoted names stay whole, so "x, y" and "a)b" in odd_columns are one header each.
TEST_P(ServerSample, ColumnHeadersAreTheServersQuotedNames) {
    ASSERT_EQ(v.col_count, static_cast<int32_t>(expected.columns.size()));
    for (size_t c = 0; c < expected.columns.size(); ++c)
        EXPECT_STREQ(v.col_names[c], expected.columns[c].c_str()) << "column " << c;
}

TEST_P(ServerSample, SqlAndInfoSectionsEndAtTheNextMarker) {
    ASSERT_NE(v.sql, nullptr);
    ASSERT_NE(v.info, nullptr);
    const std::string sql = sql_of(v), info = info_of(v);
    EXPECT_NE(sql.find("CREATE TABLE " + expected.table + " ("), std::string::npos);
    EXPECT_EQ(sql.find('\x01'), std::string::npos);
    EXPECT_EQ(info.find('\x01'), std::string::npos);
    EXPECT_EQ(info.find("COPY "), std::string::npos);
}

TEST_P(ServerSample, GridShowsEachValueAsCopyWritesItAndNullAsNull) {
    std::vector<char> room(1 << 16);
    for (int32_t r = 0; r < v.row_count; ++r) {
        const std::vector<ServerValue> &row = expected.cells[r];
        for (size_t c = 0; c < row.size(); ++c) {
            cell_text(&v, r, static_cast<int32_t>(c), room.data(), room.size());
            EXPECT_EQ(std::string(room.data()), grid_text(row[c]))
                << "row " << r << ", column " << expected.columns[c];
        }
        if (HasFailure()) return;
    }
}

TEST_P(ServerSample, EachCellDecodesToTheServersValueWithTabsAsBlanksAndLineBreaksDropped) {
    char decoded[CELL_SCRATCH];
    for (int32_t r = 0; r < v.row_count; ++r) {
        const std::vector<ServerValue> &row = expected.cells[r];
        for (size_t c = 0; c < row.size(); ++c) {
            if (!row[c]) continue;
            size_t len = 0;
            RowLine line = row_line(&v, r);
            const char *field = field_at(line.start, line.end, static_cast<int>(c), &len);
            ASSERT_NE(field, nullptr) << "row " << r << ", column " << expected.columns[c];
            size_t n = unescape_cell(field, std::min<size_t>(len, CELL_SCRATCH - 1), decoded);
            EXPECT_EQ(std::string(decoded, n), clipboard_text(row[c]))
                << "row " << r << ", column " << expected.columns[c];
        }
        if (HasFailure()) return;
    }
}

TEST_P(ServerSample, CopyingTheWholeGridGivesEveryRowDecodedOnItsOwnLine) {
    StrBuf text{};
    if (v.row_count == 0) {
        EXPECT_EQ(selection_text(&v, &text), 0) << "a grid without rows has nothing to copy";
        return;
    }
    grid_goto(&v, 0, 0, 0);
    grid_goto(&v, v.row_count - 1, v.col_count - 1, 1);
    std::string want;
    for (const std::vector<ServerValue> &row : expected.cells) {
        for (size_t c = 0; c < row.size(); ++c) {
            if (c) want += '\t';
            want += clipboard_text(row[c]);
        }
        want += "\r\n";
    }
    ASSERT_EQ(selection_text(&v, &text), 1);
    std::string got(text.data, text.len);
    sb_drop(&text);
    EXPECT_EQ(got, want);
}

INSTANTIATE_TEST_SUITE_P(Examples, ServerSample, testing::ValuesIn(sample_stems()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return info.param;
                         });

TEST(Samples, EveryContainerComesWithTheServersExpectations) {
    std::vector<std::string> stems = sample_stems();
    ASSERT_FALSE(stems.empty()) << "no .pg files in " << kExamples;
    for (const std::string &stem : stems)
        EXPECT_TRUE(std::filesystem::exists(kExamples + "/" + stem + ".expected.tsv")) << stem;
}
