// Finding a text in a text tab: positions as the text reads them, a match within one line.
#include <gtest/gtest.h>

#include "find/find.h"
#include "text_fixture.h"

#include <string>

namespace {

// "start-end", with " wrapped"; "none" when nothing matched.
std::string found(const TextDoc &doc, const std::string &text, size_t from,
                  FindDir dir = FIND_NEXT) {
    Needle needle;
    if (!needle_compile(&needle, text.data(), text.size())) return "refused";
    TextHit hit = {};
    if (!text_find(&doc, &needle, from, dir, &hit)) return "none";
    return std::to_string(hit.start) + "-" + std::to_string(hit.end) +
           (hit.wrapped ? " wrapped" : "");
}

} // namespace

TEST(TextFind, FindsForwardFromAPositionAndBackBeforeIt) {
    PlainText p("Alpha beta\nalpha BETA\n");
    EXPECT_EQ(found(p.doc, "ALPHA", 0), "0-5");
    EXPECT_EQ(found(p.doc, "ALPHA", 1), "11-16");
    EXPECT_EQ(found(p.doc, "beta", 6), "6-10") << "a match starting at `from` is the next one";
    EXPECT_EQ(found(p.doc, "beta", 11, FIND_PREV), "6-10");
    EXPECT_EQ(found(p.doc, "beta", 6, FIND_PREV), "17-21 wrapped");
    EXPECT_EQ(found(p.doc, "alpha", 12), "0-5 wrapped");
    EXPECT_EQ(found(p.doc, "alpha", 999), "0-5 wrapped") << "a position past the end is the end";
    EXPECT_EQ(found(p.doc, "gamma", 0), "none");
}

TEST(TextFind, AMatchLiesWithinOneLineAndCrLfEndsAreNoPartOfIt) {
    PlainText p("one\r\ntwo\r\n");
    EXPECT_EQ(found(p.doc, "E", 0), "2-3");
    EXPECT_EQ(found(p.doc, "o", 3), "7-8");
    EXPECT_EQ(found(p.doc, "et", 0), "none");
    EXPECT_EQ(found(p.doc, "one\r\ntwo", 0), "refused");
}

TEST(TextFind, SearchesAcrossBlocksAndRowLinesEndedByNuls) {
    // A section, the rows as the document holds them (each ended by its line feed), and a literal;
    // each block followed by a line feed of its own but the last.
    std::string sql = "CREATE TABLE t;";
    std::string rows("1\tKey\n"
                     "2\tkey\n"
                     "3\tother",
                     19);
    IndexedRows row_starts({rows.data(), rows.data() + 6, rows.data() + 12},
                           rows.data() + rows.size());
    TextBlock blocks[3] = {{sql.data(), sql.size(), 1, nullptr, nullptr, 0},
                           {rows.data(), rows.size(), 1, nullptr, &row_starts.index, 3},
                           {"\\.", 2, 0, nullptr, nullptr, 0}};
    TextDoc doc;
    text_doc_set(&doc, blocks, 3);
    EXPECT_EQ(found(doc, "KEY", 0), "18-21");
    EXPECT_EQ(found(doc, "KEY", 19), "24-27");
    EXPECT_EQ(found(doc, "KEY", 19, FIND_PREV), "18-21");
    EXPECT_EQ(found(doc, "table", 20), "7-12 wrapped");
    EXPECT_EQ(found(doc, "\\.", 0), "36-38");
    EXPECT_EQ(found(doc, "t;", 0, FIND_PREV), "13-15 wrapped");
    EXPECT_EQ(found(doc, "y2", 0), "none") << "a row's NUL ends its line";
    EXPECT_EQ(found(doc, "r\\", 0), "none") << "a block's line feed ends its line";
}

TEST(TextFind, IgnoresCaseBeyondAsciiAndMatchesIllFormedBytesAsReplacements) {
    PlainText p("\xCE\xA3\xCE\x8A\xCE\xA3\xCE\xA5\xCE\xA6\xCE\x9F\xCE\xA3 x\xC3(y"); // ΣΊΣΥΦΟΣ x?(y
    EXPECT_EQ(found(p.doc, "\xCF\x83\xCE\xAF\xCF\x83\xCF\x85\xCF\x86\xCE\xBF\xCF\x82", 0), "0-14");
    EXPECT_EQ(found(p.doc, "\xCF\x82", 1), "4-6");
    EXPECT_EQ(found(p.doc, "\xCF\x82", 13, FIND_PREV), "12-14");
    EXPECT_EQ(found(p.doc, "\xEF\xBF\xBD(", 0), "16-18");
    EXPECT_EQ(found(p.doc, "\xEF\xBF\xBD", 17, FIND_PREV), "16-17");
    EXPECT_EQ(found(p.doc, "\xEF\xBF\xBD", 17), "16-17 wrapped");
    EXPECT_EQ(found(p.doc, "\xEF\xBF\xBD", 1), "16-17")
        << "the second byte of a character is no character of its own";
}
