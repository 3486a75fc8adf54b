// Every condition the server answered (tools/query_fixtures/conditions.txt): the rows it holds for
// must be the rows of the server's WHERE, and the condition as the status line names it must read
// back to the same rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/strbuf.h"
#include "query/condition.h"
#include "server_fixture.h"

namespace {

std::vector<std::string> condition_names() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &e : std::filesystem::directory_iterator(kQueryFixtures + "/conditions", ec))
        if (e.path().extension() == ".tsv") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The ids of the rows the condition (as text) holds for; "<error: ...>" when it cannot be read.
std::string ids_where(FixtureDump &d, const std::string &text) {
    Condition *c = nullptr;
    ConditionError error;
    if (!condition_parse(d.viewer(), text.data(), text.size(), &c, &error))
        return "<error: " + std::string(error.message) + " at " + std::to_string(error.position) +
               ">";
    std::vector<uint8_t> bits(static_cast<size_t>(d.viewer()->row_count) / 8 + 1);
    const int64_t count =
        condition_mark(c, d.viewer(), nullptr, d.viewer()->row_count, bits.data());
    std::vector<int> ids;
    for (int32_t r = 0; r < d.viewer()->row_count; ++r) {
        const bool marked = bits[static_cast<size_t>(r) / 8] & (1u << (r % 8));
        EXPECT_EQ(condition_holds(c, d.viewer(), r), marked) << text << ", row " << r;
        if (marked) ids.push_back(std::atoi(row_at(*d.viewer(), r).c_str()));
    }
    EXPECT_EQ(count, static_cast<int64_t>(ids.size()));
    condition_free(c);
    std::sort(ids.begin(), ids.end());
    std::string out;
    for (int id : ids) out += (out.empty() ? "" : " ") + std::to_string(id);
    return out;
}

class ServerCondition : public testing::TestWithParam<std::string> {};

TEST_P(ServerCondition, RowsAreTheServersAndTheNamedConditionReadsBackToThem) {
    QueryFixture fixture;
    ASSERT_TRUE(
        read_query_fixture(kQueryFixtures + "/conditions/" + GetParam() + ".tsv", &fixture));
    FixtureDump d(fixture.value("type"), fixture.rows);
    ASSERT_EQ(d.dump->loaded, 1);
    for (const auto &[key, value] : fixture.lines) {
        if (key != "where") continue;
        const size_t tab = value.find('\t');
        const std::string text = value.substr(0, tab), expected = value.substr(tab + 1);
        EXPECT_TRUE(condition_looks_like(d.viewer(), text.data(), text.size())) << text;
        EXPECT_EQ(ids_where(d, text), expected) << "WHERE " << text;

        Condition *c = nullptr;
        ConditionError error;
        if (!condition_parse(d.viewer(), text.data(), text.size(), &c, &error)) continue;
        StrBuf named;
        ASSERT_EQ(sb_init(&named), 1);
        condition_text(c, d.viewer(), &named);
        const std::string again(named.data, named.len);
        sb_drop(&named);
        condition_free(c);
        EXPECT_EQ(ids_where(d, again), expected) << text << " named " << again;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ServerCondition, testing::ValuesIn(condition_names()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return info.param;
                         });

} // namespace
