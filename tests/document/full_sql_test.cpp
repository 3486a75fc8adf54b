// The Full SQL script: its layout byte for byte, its caching, growth and memory failures.
#include <gtest/gtest.h>

#include <string>

#include "alloc_hook.h"
#include "document/tab_text.h"
#include "temp_dump.h"

namespace {

const std::string kSql = "CREATE TABLE t (a int, b text);\n";
const std::string kHeader = "COPY t (a, b) FROM stdin;";
const std::string kRows = "1\tx\n2\t\\N\n";
const std::string kInfo = "dumped by hand\n";

std::string script_of(const std::string &file) {
    LoadedViewer d(file);
    EXPECT_EQ(d.loaded, 1);
    EXPECT_EQ(compose_full_sql(&d.v), 1);
    return d.v.full_sql ? d.v.full_sql : "<null>";
}

// A data block whose script is well past the first 8192 bytes, and that script.
struct LongDump {
    std::string file, script;
    LongDump() {
        std::string rows;
        for (int i = 0; i < 1500; ++i) rows += std::to_string(i) + "\tsome padding text\n";
        file = magic() + section("DATA", kHeader + "\n" + rows + "\\.\n");
        script = "\n" + kHeader + "\n" + rows + "\\.\n";
    }
};

using FullSqlMemory = AllocationHookTest;

} // namespace

TEST(FullSql, AllSectionsGiveSqlCopyBlockAndInfo) {
    const std::string file = magic() + section("SQL", kSql) +
                             section("DATA", kHeader + "\n" + kRows + "\\.\n") +
                             section("INFO", kInfo);
    EXPECT_EQ(script_of(file),
              kSql + "\n" + "\n" + kHeader + "\n" + kRows + "\\.\n" + "\n" + kInfo);
}

TEST(FullSql, SqlAloneIsFollowedByOneLineFeed) {
    EXPECT_EQ(script_of(magic() + section("SQL", "CREATE TABLE x;")), "CREATE TABLE x;\n");
}

TEST(FullSql, DataAloneIsACopyBlockWithNullsAsWritten) {
    EXPECT_EQ(script_of(magic() + section("DATA", kHeader + "\n" + kRows + "\\.\n")),
              "\n" + kHeader + "\n" + "1\tx\n" + "2\t\\N\n" + "\\.\n");
}

TEST(FullSql, CopyBlockGetsItsTerminatorEvenWhenTheFileLacksIt) {
    EXPECT_EQ(script_of(magic() + section("DATA", kHeader + "\n" + kRows)),
              "\n" + kHeader + "\n" + kRows + "\\.\n");
}

TEST(FullSql, InfoAloneGetsNoLineFeedAfterIt) {
    EXPECT_EQ(script_of(magic() + section("INFO", "about\nthis")), "\nabout\nthis");
}

TEST(FullSql, NoSectionsGiveAnEmptyScriptNotThePlaceholder) {
    LoadedViewer d(magic());
    EXPECT_EQ(tab_string(&d.v, TAB_FULLSQL), "");
    EXPECT_NE(d.v.full_sql, nullptr);
}

TEST(FullSql, EmptySectionsAndAnEmptyHeaderLineAddNothing) {
    EXPECT_EQ(script_of(magic() + section("DATA", "\n1\t2\n\\.\n")), "");
    EXPECT_EQ(script_of(magic() + section("DATA", "")), "");
    EXPECT_EQ(script_of(magic() + section("SQL", "") + section("DATA", "\n1\t2\n\\.\n") +
                        section("INFO", "i")),
              "\ni");
}

TEST(FullSql, ShowingTheTabTwiceComposesOnce) {
    LoadedViewer d(magic() + section("SQL", kSql));
    size_t len = 0;
    const char *first = tab_text(&d.v, TAB_FULLSQL, &len);
    const long allocations = mem_alloc_count();
    EXPECT_EQ(tab_text(&d.v, TAB_FULLSQL, &len), first);
    EXPECT_EQ(compose_full_sql(&d.v), 1);
    EXPECT_EQ(d.v.full_sql, first);
    EXPECT_EQ(mem_alloc_count(), allocations);
}

TEST(FullSql, LongScriptGrowsIntact) {
    LongDump dump;
    ASSERT_GT(dump.script.size(), 2u * 8192u);
    EXPECT_EQ(script_of(dump.file), dump.script);
}

TEST_F(FullSqlMemory, FailureAtEveryAllocationStoresNothingAndTheNextVisitSucceeds) {
    LongDump dump;
    long points = 0;
    {
        LoadedViewer counted(dump.file);
        const long before = mem_alloc_count();
        ASSERT_EQ(compose_full_sql(&counted.v), 1);
        points = mem_alloc_count() - before;
    }
    ASSERT_GT(points, 1) << "the script did not grow";
    LoadedViewer d(dump.file);

    // Point 0 is the first buffer; the others are growths of it.
    for (long i = 0; i < points; ++i) {
        const long live = mem_live_count();
        mem_fail_after(i);
        EXPECT_EQ(tab_string(&d.v, TAB_FULLSQL), "(no SQL)") << "allocation " << i << " failed";
        EXPECT_EQ(d.v.full_sql, nullptr) << "allocation " << i << " failed";
        EXPECT_EQ(mem_live_count(), live) << "allocation " << i << " failed: a block was kept";
        mem_fail_after(-1);
    }
    EXPECT_EQ(tab_string(&d.v, TAB_FULLSQL), dump.script);
}
