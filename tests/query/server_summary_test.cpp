// Every summary the server answered (tools/query_fixtures/make_query_fixtures.sh): over every row
// and over the rows of odd id, the viewer's summary text must be the one its facts spell.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/strbuf.h"
#include "base/thousands.h"
#include "query/column_summary.h"
#include "query/selection_sums.h"
#include "server_fixture.h"

namespace {

std::vector<std::string> summary_names() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &e : std::filesystem::directory_iterator(kQueryFixtures + "/summary", ec))
        if (e.path().extension() == ".tsv") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string grouped(const std::string &count) {
    char out[32];
    format_thousands(out, sizeof out, std::stoull(count));
    return out;
}

class ServerSummary : public testing::TestWithParam<std::string> {};

TEST_P(ServerSummary, TheSummaryTellsTheServersFacts) {
    QueryFixture fixture;
    ASSERT_TRUE(read_query_fixture(kQueryFixtures + "/summary/" + GetParam() + ".tsv", &fixture));
    const std::string type = fixture.value("type");
    FixtureDump d(type, fixture.rows);
    ASSERT_EQ(d.dump->loaded, 1);
    // The facts of each `where`, spelled as the summary spells them.
    std::vector<std::string> expected;
    std::string *text = nullptr;
    for (const auto &[key, value] : fixture.lines) {
        if (key == "type") continue;
        if (key == "where") {
            expected.push_back("");
            text = &expected.back();
            continue;
        }
        std::string v = value;
        if (key == "rows") {
            *text += "v " + type + " \xE2\x80\x94 " + grouped(v) + " rows\n";
        } else if (key == "min" || key == "max") {
            *text += key + ": " + (v == "null" ? v : d.field_of(std::stoi(v))) + "\n";
        } else if (key == "common") {
            if (text->find("most common:\n") == std::string::npos) *text += "most common:\n";
            std::istringstream words(v);
            std::string count, percent, id;
            words >> count >> percent >> id;
            *text += grouped(count) + "\t" + percent + "%\t" + d.field_of(std::stoi(id)) + "\n";
        } else {
            if (key == "null" || key == "distinct" ||
                ((key == "shortest" || key == "longest") && v != "null"))
                v = grouped(v);
            *text += key + ": " + v + "\n";
        }
    }
    for (std::string &e : expected)
        if (e.find("most common:\n") == std::string::npos) e += "most common:\n";
    ASSERT_EQ(expected.size(), 2u);

    std::vector<int32_t> odd;
    for (int32_t r = 0; r < d.viewer()->row_count; ++r)
        if (std::atoi(row_at(*d.viewer(), r).c_str()) % 2 == 1) odd.push_back(r);
    for (int subset = 0; subset < 2; ++subset) {
        StrBuf out;
        ASSERT_EQ(sb_init(&out), 1);
        const int32_t n = subset ? static_cast<int32_t>(odd.size()) : d.viewer()->row_count;
        EXPECT_EQ(column_summary_text(d.viewer(), 1, subset ? odd.data() : nullptr, n, &out), 1);
        EXPECT_EQ(std::string(out.data, out.len), expected[static_cast<size_t>(subset)])
            << (subset ? "rows of odd id" : "every row");
        sb_drop(&out);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ServerSummary, testing::ValuesIn(summary_names()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return info.param;
                         });

} // namespace

namespace {

// A selection of one number column, every row: its count of values, sum and average are the
// server's count(v), sum(v) and avg(v) (the summary's facts).
TEST_P(ServerSummary, ASelectionOfTheColumnSumsAsTheServerDoes) {
    QueryFixture fixture;
    ASSERT_TRUE(read_query_fixture(kQueryFixtures + "/summary/" + GetParam() + ".tsv", &fixture));
    if (fixture.value("sum").empty()) GTEST_SKIP() << "not a number column";
    FixtureDump d(fixture.value("type"), fixture.rows);
    ASSERT_EQ(d.dump->loaded, 1);
    if (d.viewer()->row_count == 0) GTEST_SKIP() << "no rows to select";
    const long values = std::stol(fixture.value("rows")) - std::stol(fixture.value("null"));
    StrBuf out;
    ASSERT_EQ(sb_init(&out), 1);
    ASSERT_EQ(selection_sums_text(d.viewer(), 0, d.viewer()->row_count - 1, 1, 1, &out), 1);
    EXPECT_EQ(std::string(out.data, out.len), "Count " + grouped(std::to_string(values)) +
                                                  "   Sum " + fixture.value("sum") + "   Avg " +
                                                  fixture.value("avg"));
    sb_drop(&out);
}

} // namespace
