// The selection copied as CSV, INSERT statements, JSON and Markdown, byte for byte, and what each
// format does with the values that would break it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alloc_hook.h"
#include "column_kinds.h"
#include "export/copy_as.h"
#include "temp_dump.h"

// The copy's text, or "<nothing>" when none was built (and then no block may be left behind).
static std::string copied(const Viewer &v, const ColumnType *types, CopyFormat format) {
    StrBuf out;
    out.data = reinterpret_cast<char *>(&out);
    if (!copy_as(&v, types, format, &out)) return out.data ? "<left a block>" : "<nothing>";
    std::string s(out.data, out.len);
    sb_drop(&out);
    return s;
}

static void select(Viewer &v, int32_t anchor_row, int32_t anchor_col, int32_t row, int32_t col) {
    v.anchor_row = anchor_row;
    v.anchor_col = anchor_col;
    v.cur_row = row;
    v.cur_col = col;
}

const CopyFormat ALL_FORMATS[] = {COPY_CSV, COPY_SQL_INSERT, COPY_JSON, COPY_MARKDOWN};

// Quotes, a NULL beside an empty string, NaN and a negative zero in a number column, booleans,
// valid and invalid json, an escape, blanks at both ends, and a row that ends early.
class CopyAsTest : public AllocationHookTest {
  protected:
    LoadedViewer d{magic() + section("DATA", "COPY public.\"my table\" (id, \"Full Name\", "
                                             "amount, flag, doc) FROM stdin;\n"
                                             "1\tAnn \"A\", Lee\t12.50\tt\t{\"a\": [1, 2]}\n"
                                             "2\t\\N\tNaN\tf\t{bad\n"
                                             "3\t\t-0\t\\N\t\\N\n"
                                             "4\t x\\ty \n"
                                             "\\.\n")};
    std::vector<ColumnType> types =
        kinds({KIND_INTEGER, KIND_TEXT, KIND_FLOAT, KIND_BOOLEAN, KIND_JSON});
    void SetUp() override {
        AllocationHookTest::SetUp();
        ASSERT_EQ(d.loaded, 1);
        select(d.v, 0, 0, 3, 4);
    }
};

TEST_F(CopyAsTest, CsvQuotesOnlyWhatNeedsItAndTellsNullFromEmpty) {
    EXPECT_EQ(copied(d.v, types.data(), COPY_CSV),
              "id,Full Name,amount,flag,doc\r\n"
              "1,\"Ann \"\"A\"\", Lee\",12.50,t,\"{\"\"a\"\": [1, 2]}\"\r\n"
              "2,,NaN,f,{bad\r\n"
              "3,\"\",-0,,\r\n"
              "4,\" x\ty \",,,\r\n");
}

TEST_F(CopyAsTest, InsertWritesNamesAsTheHeaderDoesAndQuotesAllButPlainNumbers) {
    const std::string head =
        "INSERT INTO public.\"my table\" (id, \"Full Name\", amount, flag, doc) VALUES (";
    EXPECT_EQ(copied(d.v, types.data(), COPY_SQL_INSERT),
              head + "1, 'Ann \"A\", Lee', 12.50, 't', '{\"a\": [1, 2]}');\r\n" + head +
                  "2, NULL, 'NaN', 'f', '{bad');\r\n" + head + "3, '', '-0', NULL, NULL);\r\n" +
                  head + "4, ' x\ty ', NULL, NULL, NULL);\r\n");
}

TEST_F(CopyAsTest, JsonTypesNumbersBooleansAndValidJsonAndStringsTheRest) {
    EXPECT_EQ(
        copied(d.v, types.data(), COPY_JSON),
        "[\r\n"
        "  {\"id\": 1, \"Full Name\": \"Ann \\\"A\\\", Lee\", \"amount\": 12.50, \"flag\": "
        "true, \"doc\": {\"a\":[1,2]}},\r\n"
        "  {\"id\": 2, \"Full Name\": null, \"amount\": \"NaN\", \"flag\": false, \"doc\": "
        "\"{bad\"},\r\n"
        "  {\"id\": 3, \"Full Name\": \"\", \"amount\": -0, \"flag\": null, \"doc\": null},\r\n"
        "  {\"id\": 4, \"Full Name\": \" x\\ty \", \"amount\": null, \"flag\": null, \"doc\": "
        "null}\r\n"
        "]\r\n");
}

TEST_F(CopyAsTest, MarkdownRightAlignsNumbersAndLeavesNullsEmpty) {
    EXPECT_EQ(copied(d.v, types.data(), COPY_MARKDOWN),
              "| id | Full Name | amount | flag | doc |\r\n"
              "| ---: | --- | ---: | --- | --- |\r\n"
              "| 1 | Ann \"A\", Lee | 12.50 | t | {\"a\": [1, 2]} |\r\n"
              "| 2 |  | NaN | f | {bad |\r\n"
              "| 3 |  | -0 |  |  |\r\n"
              "| 4 | &#32;x\ty&#32; |  |  |  |\r\n");
}

TEST_F(CopyAsTest, ARectangleTakesItsColumnsAndRowsWhicheverCornerTheAnchorIs) {
    select(d.v, 2, 2, 1, 1);
    EXPECT_EQ(copied(d.v, types.data(), COPY_CSV), "Full Name,amount\r\n,NaN\r\n\"\",-0\r\n");
    EXPECT_EQ(copied(d.v, nullptr, COPY_JSON),
              "[\r\n  {\"Full Name\": null, \"amount\": \"NaN\"},\r\n"
              "  {\"Full Name\": \"\", \"amount\": \"-0\"}\r\n]\r\n");
}

TEST_F(CopyAsTest, NothingToCopyOrAnUnknownFormatGivesNothing) {
    EXPECT_EQ(copied(d.v, nullptr, static_cast<CopyFormat>(9)), "<nothing>");
    LoadedViewer no_rows(data_dump("a, b", ""));
    ASSERT_EQ(no_rows.loaded, 1);
    for (CopyFormat format : ALL_FORMATS)
        EXPECT_EQ(copied(no_rows.v, nullptr, format), "<nothing>");
    // A buffer the caller set up (the clipboard's) is freed too when nothing is built.
    for (CopyFormat format : ALL_FORMATS) {
        StrBuf out;
        ASSERT_EQ(sb_init(&out), 1);
        EXPECT_EQ(copy_as_into(&no_rows.v, nullptr, format, &out), 0);
        EXPECT_EQ(out.data, nullptr) << "the caller's block was left behind";
    }
}

// Each value of a one-column dump of the given kind, as the format writes it, one per line.
static std::vector<std::string> values_as(ColumnKind kind, CopyFormat format,
                                          const std::vector<std::string> &raw_rows) {
    std::string lines;
    for (const std::string &raw : raw_rows) lines += raw + "\n";
    LoadedViewer d(data_dump("v", lines));
    EXPECT_EQ(d.loaded, 1);
    select(d.v, 0, 0, d.v.row_count - 1, 0);
    const std::vector<ColumnType> types = kinds({kind});
    const std::string text = copied(d.v, types.data(), format);
    std::vector<std::string> out;
    size_t skip = format == COPY_SQL_INSERT ? 0 : format == COPY_MARKDOWN ? 2 : 1;
    for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        if (skip > 0)
            --skip;
        else
            out.push_back(text.substr(at, end - at));
    return out;
}

TEST(CopyAsValues, InsertLeavesBareOnlyPlainDecimalLiterals) {
    const std::vector<std::string> got =
        values_as(KIND_FLOAT, COPY_SQL_INSERT,
                  {"1e+20", "-1.5E-10", ".5", "5.", "0", "Infinity", "-Infinity", "NaN", "-0",
                   "-0.0e5", "--1", "1;drop table t", "0x1F", "1e", "-"});
    const std::vector<std::string> bare = {"1e+20", "-1.5E-10", ".5", "5.", "0"};
    ASSERT_EQ(got.size(), 15u);
    for (size_t i = 0; i < got.size(); ++i) {
        const std::string value = got[i].substr(got[i].find("VALUES (") + 8);
        const bool is_bare = value[0] != '\'';
        EXPECT_EQ(is_bare, i < bare.size()) << value;
    }
    EXPECT_EQ(got[12], "INSERT INTO t (v) VALUES ('0x1F');");
}

TEST(CopyAsValues, InsertDoublesQuotesAndKeepsBackslashesAndBreaksAsTheyAre) {
    EXPECT_EQ(values_as(KIND_TEXT, COPY_SQL_INSERT, {"it's \\\\ \\n ''"}),
              std::vector<std::string>{"INSERT INTO t (v) VALUES ('it''s \\ \n ''''');"});
}

TEST(CopyAsValues, CsvQuotesBreaksBlanksAtTheEndsAndTheEndOfDataMarker) {
    EXPECT_EQ(values_as(KIND_TEXT, COPY_CSV,
                        {"a\\rb", "\\\\.", "\\\\.x", "x ", "\\tx", "mid dle", "\\\"q\\\""}),
              (std::vector<std::string>{"\"a\rb\"", "\"\\.\"", "\\.x", "\"x \"", "\"\tx\"",
                                        "mid dle", "\"\"\"q\"\"\""}));
}

TEST(CopyAsValues, JsonEscapesControlsAndReplacesIllFormedUtf8) {
    EXPECT_EQ(values_as(KIND_TEXT, COPY_JSON,
                        {"\\001\\x1f\\b\\f\\v\x7f", "\xC3\xA9\xF0\x9F\x90\x89",
                         "bad\xC3(\xED\xA0\x80", "\\\\ \\\" /"}),
              (std::vector<std::string>{
                  "  {\"v\": \"\\u0001\\u001f\\b\\f\\u000b\x7f\"},",
                  "  {\"v\": \"\xC3\xA9\xF0\x9F\x90\x89\"},",
                  "  {\"v\": \"bad\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"},",
                  "  {\"v\": \"\\\\ \\\" /\"}", "]"}));
}

// A json column's value holding a raw control character is no JSON: it goes as a string, the
// character escaped, so the copy stays valid JSON.
TEST(CopyAsValues, JsonColumnsValueWithARawControlCharacterIsAString) {
    EXPECT_EQ(
        values_as(KIND_JSON, COPY_JSON, {"\"a\\x1fb\"", "[\"\\001\"]", "[\"\\t\"]", "[\"x\"]"}),
        (std::vector<std::string>{"  {\"v\": \"\\\"a\\u001fb\\\"\"},",
                                  "  {\"v\": \"[\\\"\\u0001\\\"]\"},",
                                  "  {\"v\": \"[\\\"\\t\\\"]\"},", "  {\"v\": [\"x\"]}", "]"}));
}

TEST(CopyAsValues, JsonKeepsOnlyRealJsonNumbersAndBooleansUnquoted) {
    EXPECT_EQ(values_as(KIND_NUMERIC, COPY_JSON, {"007", "1.", "-0.50"}),
              (std::vector<std::string>{"  {\"v\": \"007\"},", "  {\"v\": \"1.\"},",
                                        "  {\"v\": -0.50}", "]"}));
    EXPECT_EQ(values_as(KIND_BOOLEAN, COPY_JSON, {"t", "true", "F"}),
              (std::vector<std::string>{"  {\"v\": true},", "  {\"v\": \"true\"},",
                                        "  {\"v\": \"F\"}", "]"}));
}

TEST(CopyAsValues, MarkdownEscapesWhatWouldSplitACellOrReadAsHtml) {
    EXPECT_EQ(values_as(KIND_TEXT, COPY_MARKDOWN, {"a|b\\\\", "<b>x</b>", "l1\\nl2\\r\\nl3\\rl4"}),
              (std::vector<std::string>{"| a\\|b\\\\ |", "| \\<b>x\\</b> |",
                                        "| l1<br>l2<br>l3<br>l4 |"}));
}

// A reader trims a cell's edges and reads its text as inline Markdown: what it would trim goes as
// a character reference, and what it would read as markup gets a backslash, but only where it
// would be markup.
TEST(CopyAsValues, MarkdownKeepsBlanksAtACellsEdgesAndWritesNoMarkup) {
    EXPECT_EQ(values_as(KIND_TEXT, COPY_MARKDOWN,
                        {" a ", "\\t", "  two  ", "\\f\xC2\xA0x\xE3\x80\x80", "\xE2\x80\x82",
                         "\\vv\\v", "\xC2\xA0",
                         "a b\xC2\xA0"
                         "c"}),
              (std::vector<std::string>{"| &#32;a&#32; |", "| &#9; |", "| &#32; two &#32; |",
                                        "| &#12;\xC2\xA0x&#12288; |", "| &#8194; |", "| \vv\v |",
                                        "| &#160; |",
                                        "| a b\xC2\xA0"
                                        "c |"}));
    EXPECT_EQ(
        values_as(KIND_TEXT, COPY_MARKDOWN,
                  {"&amp; &#32; &#x41; & A&B; &", "*a* _b_ snake_case __x__ `c` ~d~",
                   "[1, 2] [a](b) ![i][r]", "\\\\&lt;"}),
        (std::vector<std::string>{"| \\&amp; \\&#32; \\&#x41; & A\\&B; & |",
                                  "| \\*a\\* \\_b\\_ snake_case \\_\\_x\\_\\_ \\`c\\` \\~d\\~ |",
                                  "| [1, 2] [a\\](b) ![i\\][r] |", "| \\\\\\&lt; |"}));
}

TEST(CopyAsValues, NamesAreUnquotedForCsvJsonAndMarkdownAndKeptForInsert) {
    LoadedViewer d(data_dump("\"say \"\"hi\"\"\", \"a, b\"", "1\t2\n"));
    ASSERT_EQ(d.loaded, 1);
    select(d.v, 0, 0, 0, 1);
    EXPECT_EQ(copied(d.v, nullptr, COPY_CSV), "\"say \"\"hi\"\"\",\"a, b\"\r\n1,2\r\n");
    EXPECT_EQ(copied(d.v, nullptr, COPY_JSON),
              "[\r\n  {\"say \\\"hi\\\"\": \"1\", \"a, b\": \"2\"}\r\n]\r\n");
    EXPECT_EQ(copied(d.v, nullptr, COPY_MARKDOWN),
              "| say \"hi\" | a, b |\r\n| --- | --- |\r\n| 1 | 2 |\r\n");
    EXPECT_EQ(copied(d.v, nullptr, COPY_SQL_INSERT),
              "INSERT INTO t (\"say \"\"hi\"\"\", \"a, b\") VALUES ('1', '2');\r\n");
}

// A header naming no column: the copies name each by its place as the server names a VALUES
// list's columns, so no two share a JSON key, and the INSERT statements leave the list out.
TEST(CopyAsValues, ColumnsTheHeaderNamesNotAreColumn1Column2AndSoOn) {
    LoadedViewer d(magic() + section("DATA", "COPY t FROM stdin;\na\tb\tc\n"));
    ASSERT_EQ(d.loaded, 1);
    ASSERT_EQ(d.v.col_count, 3);
    select(d.v, 0, 1, 0, 2);
    EXPECT_EQ(copied(d.v, nullptr, COPY_CSV), "column2,column3\r\nb,c\r\n");
    EXPECT_EQ(copied(d.v, nullptr, COPY_JSON),
              "[\r\n  {\"column2\": \"b\", \"column3\": \"c\"}\r\n]\r\n");
    EXPECT_EQ(copied(d.v, nullptr, COPY_MARKDOWN),
              "| column2 | column3 |\r\n| --- | --- |\r\n| b | c |\r\n");
    EXPECT_EQ(copied(d.v, nullptr, COPY_SQL_INSERT), "INSERT INTO t VALUES ('b', 'c');\r\n");

    // An empty name among named ones (no server writes one) is named by its place too.
    LoadedViewer gap(data_dump("a, , \"\"", "1\t2\t3\n"));
    ASSERT_EQ(gap.loaded, 1);
    ASSERT_EQ(gap.v.col_count, 3);
    select(gap.v, 0, 0, 0, 2);
    EXPECT_EQ(copied(gap.v, nullptr, COPY_CSV), "a,column2,column3\r\n1,2,3\r\n");
    EXPECT_EQ(copied(gap.v, nullptr, COPY_SQL_INSERT),
              "INSERT INTO t (a, column2, column3) VALUES ('1', '2', '3');\r\n");
}

TEST_F(CopyAsTest, NoMemoryAtAnyPointGivesNothingRatherThanAPart) {
    // Values long and escaped enough for the text and the decoding room to grow several times,
    // and a json value nested deep enough to need its own block.
    std::string lines;
    for (int r = 0; r < 8; ++r)
        lines += std::to_string(r) + "\t" + std::string(3000 * r, 'x') + "\\n\"|\t" +
                 std::to_string(r) + ".5\tt\t" + std::string(600, '[') + std::string(600, ']') +
                 "\n";
    LoadedViewer big(data_dump("id, \"Full Name\", amount, flag, doc", lines));
    ASSERT_EQ(big.loaded, 1);
    select(big.v, 0, 0, 7, 4);
    for (CopyFormat format : ALL_FORMATS) {
        long before = mem_alloc_count();
        const std::string whole = copied(big.v, types.data(), format);
        const long points = mem_alloc_count() - before;
        ASSERT_GT(points, 5) << "format " << format;
        for (long i = 0; i < points; ++i) {
            const long live = mem_live_count();
            mem_fail_after(i);
            EXPECT_EQ(copied(big.v, types.data(), format), "<nothing>")
                << "format " << format << ": allocation " << i << " failed";
            EXPECT_EQ(mem_live_count(), live) << "format " << format << ": allocation " << i;
        }
        mem_fail_after(points);
        EXPECT_EQ(copied(big.v, types.data(), format), whole) << "format " << format;
        mem_fail_after(-1);
    }
}
