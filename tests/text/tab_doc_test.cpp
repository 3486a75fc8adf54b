// The text tabs as blocks of the document: byte for byte the texts tab_text gives, the Full SQL
// script included, without composing it; placeholders; sections whose line tables cannot be had.
#include <gtest/gtest.h>

#include "alloc_hook.h"
#include "document/tab_text.h"
#include "temp_dump.h"
#include "text/tab_doc.h"
#include "text/text_copy.h"
#include "text/text_pos.h"

#include <algorithm>
#include <string>

namespace {

const std::string kHeader = "COPY t (a, b) FROM stdin;";

std::string whole_text(const TextDoc &doc) {
    std::string out(doc.len + 1, '?');
    text_copy_utf8(&doc, 0, doc.len, out.data());
    out.pop_back();
    return out;
}

// Every tab's text, read from its blocks, against tab_text's (the Full SQL tab's composed last,
// so the blocks are read before any script exists).
void expect_tabs_read_as_tab_text(const std::string &file) {
    LoadedViewer d(file);
    ASSERT_EQ(d.loaded, 1);
    TabLines lines{};
    for (int tab : {TAB_FULLSQL, TAB_SQL, TAB_INFO, TAB_DATA}) {
        TextDoc doc;
        tab_doc(&d.v, tab, &lines, &doc);
        const std::string text = whole_text(doc);
        EXPECT_EQ(text, tab_string(&d.v, tab)) << "tab " << tab;
        EXPECT_EQ(text_line_count(&doc),
                  1 + static_cast<size_t>(std::count(text.begin(), text.end(), '\n')))
            << "tab " << tab;
    }
    tab_lines_free(&lines);
}

std::string three_sections(const std::string &sql, const std::string &data,
                           const std::string &info) {
    return magic() + section("SQL", sql) + section("DATA", data) + section("INFO", info);
}

using TabDocMemory = AllocationHookTest;

} // namespace

TEST(TabDoc, EveryTabReadsAsTabTextForEachLayoutOfTheScript) {
    const std::string rows = "1\tx\n2\t\\N\n\n3\t\xC3\xA9\n";
    const std::string cases[] = {
        three_sections("CREATE TABLE t (a int,\n  b text);\n", kHeader + "\n" + rows + "\\.\n",
                       "dumped\nby hand\n"),
        magic() + section("SQL", "CREATE TABLE x;"),
        data_dump("a, b", rows),
        magic() + section("INFO", "about\nthis"),
        magic(),
        three_sections("s", "\n1\t2\n\\.\n", "i"),                // an empty header line
        three_sections("", kHeader + "\n" + rows + "\\.\n", ""),  // empty sections
        magic() + section("DATA", kHeader + "\n"),                // a header and no rows
        magic() + section("DATA", kHeader + "\n" + "1\tx\n2\ty"), // no terminator, no last LF
        three_sections("a\r\nb\r\n", kHeader + "\r\n1\tx\r\n2\t\\N\r\n\\.\r\n", "c\r\nd\r\n"),
        magic() + section("DATA", kHeader + "\n1\tx\n") + section("INFO", "first\nsecond\n"),
        magic() + section("DATA", kHeader + "\n1\tx\n") + section("SQL", "s\n") +
            section("INFO", "i\n"),
    };
    for (const std::string &file : cases) {
        SCOPED_TRACE(file);
        expect_tabs_read_as_tab_text(file);
    }
}

TEST(TabDoc, AbsentSectionsShowTheirPlaceholdersWhichACopyOfTheWholeTextLeavesOut) {
    LoadedViewer d(magic() + section("DATA", kHeader + "\n1\tx\n\\.\n"));
    TabLines lines{};
    TextDoc doc;
    EXPECT_EQ(tab_doc(&d.v, TAB_SQL, &lines, &doc), 0);
    EXPECT_EQ(whole_text(doc), "(no SQL)");
    EXPECT_EQ(tab_doc(&d.v, TAB_INFO, &lines, &doc), 0);
    EXPECT_EQ(whole_text(doc), "(no info)");
    EXPECT_EQ(tab_doc(&d.v, TAB_DATA, &lines, &doc), 0);
    EXPECT_EQ(doc.len, 0u);
    EXPECT_EQ(tab_doc(&d.v, TAB_FULLSQL, &lines, &doc), 1);
    EXPECT_EQ(tab_doc(&d.v, 9, &lines, &doc), 1) << "any other number shows the script";
    tab_lines_free(&lines);
}

TEST(TabDoc, TheScriptOfManyRowsTakesNoMemoryBeyondTheSectionsLineTables) {
    const int count = 10000;
    std::string rows;
    for (int i = 0; i < count; ++i) rows += std::to_string(i) + "\tx\n";
    LoadedViewer d(three_sections("create", kHeader + "\n" + rows + "\\.\n", "info"));
    ASSERT_EQ(d.v.row_count, count);
    TabLines lines{};
    TextDoc doc;
    long before = mem_alloc_count();
    ASSERT_EQ(tab_doc(&d.v, TAB_FULLSQL, &lines, &doc), 1);
    EXPECT_EQ(mem_alloc_count() - before, 2) << "the SQL's and the information text's tables";
    // "create", an empty line, the header, the rows, the terminator, an empty line, "info".
    EXPECT_EQ(text_line_count(&doc), 3u + count + 3u);
    size_t len = 0;
    const char *last_row = text_line(&doc, 3 + count - 1, &len);
    EXPECT_EQ(std::string(last_row, len), std::to_string(count - 1) + "\tx");
    before = mem_alloc_count();
    ASSERT_EQ(tab_doc(&d.v, TAB_FULLSQL, &lines, &doc), 1);
    EXPECT_EQ(mem_alloc_count(), before) << "a second visit builds nothing";
    EXPECT_EQ(d.v.full_sql, nullptr) << "no script was composed";
    tab_lines_free(&lines);
}

TEST_F(TabDocMemory, ASectionWhoseLineTableCannotBeHadShowsThePlaceholderUntilTheNextVisit) {
    LoadedViewer d(three_sections("create\n", kHeader + "\n1\tx\n\\.\n", "info"));
    const std::string script = tab_string(&d.v, TAB_FULLSQL);
    const long live = mem_live_count();
    for (long i = 0; i < 2; ++i) { // the SQL's table, then the information text's
        TabLines lines{};
        TextDoc doc;
        mem_fail_after(i);
        EXPECT_EQ(tab_doc(&d.v, TAB_FULLSQL, &lines, &doc), 0) << "allocation " << i;
        EXPECT_EQ(whole_text(doc), "(no SQL)");
        EXPECT_EQ(tab_doc(&d.v, TAB_FULLSQL, &lines, &doc), 1);
        EXPECT_EQ(whole_text(doc), script);
        tab_lines_free(&lines);
        EXPECT_EQ(mem_live_count(), live) << "allocation " << i << " failed: a block was kept";
    }
    TabLines lines{};
    TextDoc doc;
    mem_fail_after(0);
    EXPECT_EQ(tab_doc(&d.v, TAB_SQL, &lines, &doc), 0);
    EXPECT_EQ(whole_text(doc), "(no SQL)");
    mem_fail_after(0);
    EXPECT_EQ(tab_doc(&d.v, TAB_INFO, &lines, &doc), 0);
    EXPECT_EQ(whole_text(doc), "(no info)");
    EXPECT_EQ(mem_live_count(), live);
}
