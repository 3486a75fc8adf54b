// What the server's summaries cannot show: damaged fields, a column whose distinct values pass the
// summary's memory, long values, memory that cannot be had and work asked to stop.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>

#include "alloc_hook.h"
#include "base/stop.h"
#include "base/strbuf.h"
#include "query/column_summary.h"
#include "query/goto_row.h"
#include "temp_dump.h"

namespace {

// A one-column table of type `type` holding these lines.
struct Column {
    LoadedViewer d;
    Column(const std::string &type, const std::string &lines)
        : d(magic() + section("SQL", "CREATE TABLE t (\n    v " + type + "\n);\n") +
            section("DATA", "COPY t (v) FROM stdin;\n" + lines + "\\.\n")) {}
    std::string summary() {
        StrBuf out;
        sb_init(&out);
        const int done = column_summary_text(&d.v, 0, nullptr, d.v.row_count, &out);
        std::string text = done ? std::string(out.data, out.len) : "<none>";
        sb_drop(&out);
        return text;
    }
};

} // namespace

// The sort puts text that is no value of the column's type after every value: so does max, and
// such text is a value of its own for distinct and most common, unsummed.
TEST(ColumnSummary, DamagedFieldsCountAsTheSortOrdersThem) {
    Column c("integer", "5\nfive\n\\N\n-3\nfive\n5\n");
    EXPECT_EQ(c.summary(), "v integer \xE2\x80\x94 6 rows\n"
                           "null: 1\n"
                           "distinct: 3\n"
                           "min: -3\n"
                           "max: five\n"
                           "sum: 7\n"
                           "avg: 2.3333333333333333\n"
                           "most common:\n"
                           "2\t33.3%\t5\n"
                           "2\t33.3%\tfive\n"
                           "1\t16.7%\t-3\n");
}

// 300,000 distinct numbers pass the 4 MiB table (16-byte slots, 70 % of 261,120): the count is
// an estimate, and most common lists only the values that are surely the most common, each
// counted exactly.
TEST(ColumnSummary, PastItsMemoryDistinctIsEstimatedAndMostCommonStaysExact) {
    std::string lines;
    for (int i = 0; i < 300000; ++i) lines += std::to_string(i * 7 % 300000) + "\n";
    for (int i = 0; i < 40; ++i) lines += "123\n";
    for (int i = 0; i < 30; ++i) lines += "77777\n";
    Column c("bigint", lines);
    const std::string text = c.summary();
    const size_t at = text.find("distinct: \xE2\x89\x88");
    ASSERT_NE(at, std::string::npos) << text;
    const long estimate = std::stol([&] {
        std::string digits;
        for (char ch : text.substr(at + 13, 12))
            if (ch >= '0' && ch <= '9') digits += ch;
        return digits;
    }());
    EXPECT_NEAR(estimate, 300000, 300000 * 0.03);
    const size_t common = text.find("most common:\n");
    ASSERT_NE(common, std::string::npos);
    EXPECT_EQ(text.substr(common, text.find("\n\xE2\x80\xA6", common) - common),
              "most common:\n41\t0.0%\t123\n31\t0.0%\t77777");
    EXPECT_NE(text.find("\xE2\x80\xA6 each other value: at most "), std::string::npos) << text;
    EXPECT_NE(text.find("min: 0\nmax: 299999\n"), std::string::npos);
}

// Past the memory with more often-counted values than the second pass counts again: whatever
// the summary lists has its exact count, and every value it does not list was held by no more
// rows than the closing line says.
TEST(ColumnSummary, PastItsMemoryWhatIsListedIsExactAndTheRestIsBoundedTruly) {
    std::map<long, long> exact;
    std::string lines;
    auto add = [&](long v) {
        lines += std::to_string(v) + "\n";
        ++exact[v];
    };
    for (long i = 0; i < 300000; ++i) add(1000000 + i * 7 % 300000);
    for (int round = 0; round < 6; ++round)
        for (long k = 0; k < 3000; ++k) {
            add(2000000 + k);
            if (k % 60 == 0) add(123);
            if (k % 100 == 0 && round < 5) add(77777);
        }
    Column c("bigint", lines);
    const std::string text = c.summary();
    const size_t common = text.find("most common:\n");
    ASSERT_NE(common, std::string::npos) << text;
    std::map<long, long> listed;
    long bound = -1;
    size_t at = common + 13;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        const std::string closing = "\xE2\x80\xA6 each other value: at most ";
        if (line.compare(0, closing.size(), closing) == 0) {
            bound = std::stol(line.substr(closing.size()));
            break;
        }
        const size_t tab = line.find('\t'), value = line.rfind('\t');
        listed[std::stol(line.substr(value + 1))] = std::stol(line.substr(0, tab));
    }
    ASSERT_EQ(listed.size(), 2u) << text;
    EXPECT_EQ(listed[123], exact[123]);
    EXPECT_EQ(listed[77777], exact[77777]);
    ASSERT_GE(bound, 0) << "fewer than ten listed, so the rest is bounded: " << text;
    for (const auto &[value, count] : exact)
        if (!listed.count(value)) ASSERT_LE(count, bound) << value << " in " << text;
}

// The same past the memory with values longer than a slot's tag, which are told apart by their
// fields: each kept value's first row is read again while it is counted again.
TEST(ColumnSummary, PastItsMemoryLongValuesAreCountedAgainByTheirFields) {
    std::string lines;
    for (int i = 0; i < 300000; ++i)
        lines += "value number " + std::to_string(i * 7 % 300000) + "\n";
    for (int i = 0; i < 25; ++i) lines += "value number 5\n";
    Column c("text", lines);
    const std::string text = c.summary();
    const size_t common = text.find("most common:\n");
    ASSERT_NE(common, std::string::npos) << text;
    EXPECT_EQ(text.substr(common, text.find("\n\xE2\x80\xA6", common) - common),
              "most common:\n26\t0.0%\tvalue number 5");
    EXPECT_NE(text.find("shortest: 14\nlongest: 19\n"), std::string::npos) << text;
}

TEST(ColumnSummary, ALongValueIsCutAtACharacter) {
    const std::string value = std::string(SUMMARY_VALUE_MAX - 1, 'a') + "\xC3\xA9" + "tail";
    Column c("text", value + "\n");
    EXPECT_NE(
        c.summary().find("min: " + std::string(SUMMARY_VALUE_MAX - 1, 'a') + "\xE2\x80\xA6\n"),
        std::string::npos);
}

// A column past the table's columns' types (a crafted row) reads as text.
TEST(ColumnSummary, EscapesCountAsTheCharactersTheyDecodeTo) {
    Column c("character varying(9)", "a\\tb\n\\\\\n\xC3\xA9t\xC3\xA9\n");
    const std::string text = c.summary();
    EXPECT_NE(text.find("shortest: 1\nlongest: 3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("min: \\\\\n"), std::string::npos) << text;
}

using SummaryMemory = AllocationHookTest;

TEST_F(SummaryMemory, WithoutMemoryThereIsNoSummaryAndNothingIsKept) {
    Column c("numeric", "1.5\n-2\n1.50\n");
    for (long fail = 0;; ++fail) {
        const long live = mem_live_count();
        StrBuf out;
        ASSERT_EQ(sb_init(&out), 1);
        mem_fail_after(fail);
        const int done = column_summary_text(&c.d.v, 0, nullptr, c.d.v.row_count, &out);
        mem_fail_after(-1);
        const std::string text(out.data, out.len);
        sb_drop(&out);
        EXPECT_EQ(mem_live_count(), live);
        if (done) {
            EXPECT_NE(text.find("sum: 1.00\navg: 0.33333333333333333333\n"), std::string::npos)
                << text;
            break;
        }
    }
}

TEST(ColumnSummary, AskedToStopItGivesUp) {
    std::string lines;
    for (int i = 0; i < 70000; ++i) lines += std::to_string(i % 10) + "\n";
    Column c("integer", lines);
    std::atomic<int> flag{1};
    stop_watch(&flag);
    EXPECT_EQ(c.summary(), "<none>");
    EXPECT_TRUE(stop_seen());
    stop_watch(nullptr);
    EXPECT_NE(c.summary().find("distinct: 10\n"), std::string::npos);
}

TEST(GotoRow, RowNumbersAsTheStatusLineWritesThemOrAsTyped) {
    const std::pair<const char *, int64_t> cases[] = {
        {"1234", 1234},  {"1,234", 1234},
        {"  7 ", 7},     {"\t1,000,000", 1000000},
        {"12,34", 1234}, {"99999999999999999999", INT64_MAX},
        {"", 0},         {"0", 0},
        {"-5", 0},       {"1,,234", 0},
        {",1", 0},       {"1,", 0},
        {"1 2", 0},      {"12a", 0},
        {"  ", 0},       {"1.5", 0},
    };
    for (const auto &[text, expected] : cases) {
        int64_t row = -1;
        const int ok = goto_row_parse(text, strlen(text), &row);
        EXPECT_EQ(ok, expected != 0) << text;
        if (ok) EXPECT_EQ(row, expected) << text;
    }
}
