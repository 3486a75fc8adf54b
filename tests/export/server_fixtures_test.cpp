// The copies a PostgreSQL server took back: today's CSV and INSERT text of the fixture dump must be
// the text the server accepted (tools/export_fixtures/make_export_fixtures.sh), and what the
// server then held must be the dumped rows; today's Markdown text must be the one a CommonMark
// reader rendered, and what it read in each cell the column's name or the cell's value.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "document/load.h"
#include "export/copy_as.h"
#include "export/identifier.h"
#include "export/value_view.h"
#include "temp_dump.h"

static std::string fixture(const char *name) {
    return std::string(TAVRIN_EXPORT_FIXTURES) + "/" + name;
}

static std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The kinds the script told copy_as, one word a column; the names are the tool's.
static std::vector<ColumnType> fixture_kinds() {
    const char *const names[] = {"text", "integer", "numeric",   "float",       "boolean", "date",
                                 "time", "timetz",  "timestamp", "timestamptz", "json"};
    std::istringstream words(read_file(fixture("tricky.kinds")));
    std::vector<ColumnType> types;
    for (std::string word; words >> word;) {
        ColumnType type{KIND_TEXT, ""};
        for (int k = 0; k < 11; ++k)
            if (word == names[k]) type.kind = static_cast<ColumnKind>(k);
        EXPECT_TRUE(word == "text" || type.kind != KIND_TEXT) << word;
        types.push_back(type);
    }
    return types;
}

class ServerFixturesTest : public ::testing::Test {
  protected:
    Viewer v{};
    std::vector<ColumnType> types = fixture_kinds();
    void SetUp() override {
        ASSERT_EQ(load_file(&v, fixture("tricky.pg").c_str()), 1);
        ASSERT_EQ(static_cast<size_t>(v.col_count), types.size());
        v.cur_row = v.row_count - 1;
        v.cur_col = v.col_count - 1;
    }
    void TearDown() override { viewer_free_blocks(&v); }

    std::string copied(CopyFormat format) {
        StrBuf out;
        if (!copy_as(&v, types.data(), format, &out)) return "<nothing>";
        std::string s(out.data, out.len);
        sb_drop(&out);
        return s;
    }
};

TEST_F(ServerFixturesTest, CsvAndInsertAreTheTextsTheServerTookBack) {
    EXPECT_EQ(copied(COPY_CSV), read_file(fixture("tricky.csv")));
    EXPECT_EQ(copied(COPY_SQL_INSERT), read_file(fixture("tricky.insert.sql")));
}

TEST_F(ServerFixturesTest, WhatTheServerThenHeldIsTheDumpedRows) {
    std::string dumped;
    for (int32_t r = 0; r < v.row_count; ++r) dumped += row_at(v, r) + "\n";
    ASSERT_GE(v.row_count, 10);
    EXPECT_EQ(read_file(fixture("tricky.csv.readback")), dumped);
    EXPECT_EQ(read_file(fixture("tricky.insert.readback")), dumped);
}

// A text as the reader's readback writes it: COPY's escapes for backslash, tab and line breaks.
static std::string escaped(const std::string &text) {
    std::string out;
    for (char c : text) {
        const char *escape = c == '\\'   ? "\\\\"
                             : c == '\t' ? "\\t"
                             : c == '\n' ? "\\n"
                             : c == '\r' ? "\\r"
                                         : nullptr;
        out += escape ? std::string(escape) : std::string(1, c);
    }
    return out;
}

TEST_F(ServerFixturesTest, MarkdownIsTheTextAReaderReadBackToEveryNameAndValue) {
    EXPECT_EQ(copied(COPY_MARKDOWN), read_file(fixture("tricky.md")));
    // What the reader must have read: each name; each value decoded, NULL and empty alike as an
    // empty cell, every line break as LF.
    std::string want;
    for (int32_t c = 0; c < v.col_count; ++c) {
        StrBuf name;
        ASSERT_EQ(sb_init(&name), 1);
        add_column_name(&name, &v, c);
        want += (c ? "\t" : "") + escaped(std::string(name.data, name.len));
        sb_drop(&name);
    }
    want += "\n";
    for (int32_t r = 0; r < v.row_count; ++r) {
        for (int32_t c = 0; c < v.col_count; ++c) {
            StrBuf value;
            std::string text;
            if (cell_value(&v, r, c, &value) == VALUE_TEXT) {
                text.assign(value.data, value.len);
                sb_drop(&value);
            }
            std::string lf;
            for (size_t i = 0; i < text.size(); ++i) {
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
                lf += text[i] == '\r' ? '\n' : text[i];
            }
            want += (c ? "\t" : "") + escaped(lf);
        }
        want += "\n";
    }
    EXPECT_EQ(read_file(fixture("tricky.md.readback")), want);
}
