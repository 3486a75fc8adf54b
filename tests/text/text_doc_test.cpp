// The block text: lines across blocks, CR LF line ends, the rows' NULs as line feeds, and the
// empty line after a final line feed.
#include <gtest/gtest.h>

#include "text_fixture.h"

#include <string>
#include <vector>

namespace {

std::string line_text(const TextDoc &doc, size_t line) {
    size_t len = 0;
    const char *p = text_line(&doc, line, &len);
    return std::string(p, len);
}

std::vector<std::string> lines_of(const TextDoc &doc) {
    std::vector<std::string> out;
    for (size_t i = 0; i < text_line_count(&doc); ++i) out.push_back(line_text(doc, i));
    return out;
}

std::string bytes_of(const TextDoc &doc) {
    std::string out;
    for (size_t i = 0; i < doc.len; ++i) out += text_byte_at(&doc, i);
    return out;
}

// Every position maps to the line whose start and end enclose it, line breaks included.
void expect_positions_consistent(const TextDoc &doc) {
    for (size_t pos = 0; pos <= doc.len; ++pos) {
        size_t line = text_line_of(&doc, pos);
        EXPECT_LE(text_line_start(&doc, line), pos);
        if (line + 1 < text_line_count(&doc))
            EXPECT_LT(pos, text_line_start(&doc, line + 1)) << "position " << pos;
        else
            EXPECT_EQ(text_line_end(&doc, line), doc.len);
    }
}

} // namespace

TEST(TextDoc, LinesEndAtLineFeedsAndACarriageReturnBeforeOneIsNoPartOfTheLine) {
    PlainText p("one\r\ntwo\n\nthree\rfour");
    EXPECT_EQ(lines_of(p.doc), (std::vector<std::string>{"one", "two", "", "three\rfour"}));
    EXPECT_EQ(text_line_start(&p.doc, 1), 5u);
    EXPECT_EQ(text_line_end(&p.doc, 0), 3u);
    expect_positions_consistent(p.doc);
}

TEST(TextDoc, AFinalLineFeedEndsInAnEmptyLineAndAnEmptyTextHasOne) {
    PlainText ended("a\n");
    EXPECT_EQ(lines_of(ended.doc), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(text_line_of(&ended.doc, 2), 1u);
    PlainText empty("");
    EXPECT_EQ(lines_of(empty.doc), (std::vector<std::string>{""}));
    EXPECT_EQ(text_line_of(&empty.doc, 0), 0u);
    EXPECT_EQ(text_line_end(&empty.doc, 0), 0u);
}

TEST(TextDoc, BlocksReadAsOneTextWithTheirLineFeedsAndTheRowsNulsAsLineFeeds) {
    // As the loader leaves rows: each cut at its line feed, the last one at the file's end.
    std::string buf = std::string("1\tpen\0"
                                  "2\tink\r\0"
                                  "3\tpad",
                                  18);
    IndexedRows rows({buf.data(), buf.data() + 6, buf.data() + 13}, buf.data() + buf.size());
    std::string sql = "create table t;\nselect 1;";
    LineTable sql_lines{};
    ASSERT_EQ(line_table_build(&sql_lines, sql.data(), sql.size()), 1);
    TextBlock blocks[] = {
        {sql.data(), sql.size(), 1, &sql_lines, nullptr, 0},
        {"", 0, 1, nullptr, nullptr, 0},
        {"COPY t FROM stdin;", 18, 1, nullptr, nullptr, 0},
        {buf.data(), buf.size(), 1, nullptr, &rows.index, 3},
        {"\\.", 2, 1, nullptr, nullptr, 0},
        {"", 0, 0, nullptr, nullptr, 0},
    };
    TextDoc doc{};
    text_doc_set(&doc, blocks, 6);
    EXPECT_EQ(bytes_of(doc), "create table t;\nselect 1;\n\nCOPY t FROM stdin;\n1\tpen\n2\tink\r\n"
                             "3\tpad\n\\.\n");
    EXPECT_EQ(lines_of(doc),
              (std::vector<std::string>{"create table t;", "select 1;", "", "COPY t FROM stdin;",
                                        "1\tpen", "2\tink", "3\tpad", "\\.", ""}));
    EXPECT_EQ(text_line_of(&doc, doc.len - 3), 7u);
    expect_positions_consistent(doc);
    line_table_free(&sql_lines);
}

TEST(LineTable, CountsEveryBreakAndFreesToEmpty) {
    std::string text = std::string("a\nb\0c\n", 6);
    LineTable t{};
    ASSERT_EQ(line_table_build(&t, text.data(), text.size()), 1);
    EXPECT_EQ(t.count, 4u);
    EXPECT_EQ(std::vector<size_t>(t.starts, t.starts + t.count), (std::vector<size_t>{0, 2, 4, 6}));
    line_table_free(&t);
    EXPECT_EQ(t.starts, nullptr);
    EXPECT_EQ(t.count, 0u);
}
