// What each tab shows, what its copy takes, and the header bar line.
#include <gtest/gtest.h>

#include <string>

#include "document/tab_text.h"
#include "temp_dump.h"

namespace {

const std::string kStatus = "t   \xE2\x80\x94   2 rows";

std::string bar(int tab, const char *status) {
    char out[BAR_TEXT_LEN];
    format_bar_text(out, sizeof out, tab, status);
    return out;
}

} // namespace

TEST(TabText, SectionsShowAsStored) {
    LoadedViewer d(magic() + section("SQL", "CREATE TABLE t;\n") + section("INFO", "about\n"));
    EXPECT_EQ(tab_string(&d.v, TAB_SQL), "CREATE TABLE t;\n");
    EXPECT_EQ(tab_string(&d.v, TAB_INFO), "about\n");
    EXPECT_EQ(tab_string(&d.v, TAB_DATA), "");
}

TEST(TabText, AbsentSectionsShowTheirPlaceholders) {
    LoadedViewer d(magic());
    EXPECT_EQ(tab_string(&d.v, TAB_SQL), "(no SQL)");
    EXPECT_EQ(tab_string(&d.v, TAB_INFO), "(no info)");
}

TEST(TabText, PresentButEmptySectionsShowEmptyText) {
    LoadedViewer d(magic() + section("SQL", "") + section("INFO", ""));
    EXPECT_EQ(tab_string(&d.v, TAB_SQL), "");
    EXPECT_EQ(tab_string(&d.v, TAB_INFO), "");
}

TEST(TabText, AnyOtherTabNumberShowsTheFullSqlScript) {
    LoadedViewer d(magic() + section("SQL", "CREATE TABLE t;"));
    size_t len = 0;
    const char *script = tab_text(&d.v, TAB_FULLSQL, &len);
    EXPECT_EQ(std::string(script, len), "CREATE TABLE t;\n");
    for (int tab : {0, 5, -1}) EXPECT_EQ(tab_text(&d.v, tab, &len), script) << "tab " << tab;
}

TEST(TabCopyText, TakesTheCurrentTabsTextAndNeverAPlaceholder) {
    LoadedViewer none(magic());
    for (int tab : {TAB_SQL, TAB_INFO, TAB_FULLSQL}) {
        none.v.tab = tab;
        EXPECT_EQ(copy_string(&none.v), "") << "tab " << tab;
    }

    LoadedViewer d(magic() + section("SQL", "s") + section("INFO", "i"));
    d.v.tab = TAB_SQL;
    EXPECT_EQ(copy_string(&d.v), "s");
    d.v.tab = TAB_INFO;
    EXPECT_EQ(copy_string(&d.v), "i");
    d.v.tab = 7; // only an outside sender sets such a number; the copy then takes the info
    EXPECT_EQ(copy_string(&d.v), "i");
    d.v.tab = TAB_FULLSQL;
    EXPECT_EQ(copy_string(&d.v), ""); // not composed yet
    tab_string(&d.v, TAB_FULLSQL);
    EXPECT_EQ(copy_string(&d.v), "s\n\ni");
}

TEST(BarText, OnTab3BracketsInfoBetweenTheOtherLabels) {
    EXPECT_EQ(bar(TAB_INFO, kStatus.c_str()), std::string("  ") + " 1 Data " + " " + " 2 SQL " +
                                                  " " + "[3 Info]" + " " + " 4 Full SQL " +
                                                  "        " + kStatus);
}

TEST(BarText, TabOutsideOneToFourBracketsNone) {
    const std::string plain =
        std::string("  ") + " 1 Data " + " " + " 2 SQL " + " " + " 3 Info " + " " + " 4 Full SQL ";
    EXPECT_EQ(bar(0, "s"), plain + "        s");
    EXPECT_EQ(bar(5, "s"), plain + "        s");
}

TEST(BarText, IsCutToTheGivenSize) {
    char out[12];
    format_bar_text(out, sizeof out, TAB_DATA, "s");
    EXPECT_STREQ(out, "  [1 Data] ");
}
