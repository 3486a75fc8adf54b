// Finding a cell: its text as Ctrl+C copies it, ignoring case, in reading order from a given cell
// and round the grid once.
#include <gtest/gtest.h>

#include "find/find.h"
#include "temp_dump.h"

#include <string>

namespace {

// "row,col", with " wrapped" when the search went round; "none" when nothing matched and the hit
// was left alone; "refused" when the text is no needle.
std::string found(const Viewer &v, const std::string &text, int32_t row = 0, int32_t col = 0,
                  FindDir dir = FIND_NEXT) {
    Needle needle;
    if (!needle_compile(&needle, text.data(), text.size())) return "refused";
    GridHit hit = {-7, -7, -7};
    if (!grid_find(&v, &needle, row, col, dir, &hit))
        return hit.row == -7 && hit.col == -7 && hit.wrapped == -7 ? "none" : "none, hit written";
    return std::to_string(hit.row) + "," + std::to_string(hit.col) +
           (hit.wrapped ? " wrapped" : "");
}

std::string found_before(const Viewer &v, const std::string &text, int32_t row, int32_t col) {
    return found(v, text, row, col, FIND_PREV);
}

} // namespace

TEST(GridFind, IgnoresCaseInLatinGreekAndCyrillicCells) {
    LoadedViewer d(data_dump("a, b", "\xC3\x89\x63ole\tSt\xC3\xA9phane\n" // École Stéphane
                                     "\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91\t" // ΣΟΦΊΑ
                                     "\xD0\x81\xD0\x9B\xD0\x9A\xD0\x90\n"));      // ЁЛКА
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(found(d.v, "\xC3\xA9\x43OLE", 1, 1), "0,0 wrapped"); // éCOLE
    EXPECT_EQ(found(d.v, "STEPH"), "none") << "é is not e";
    EXPECT_EQ(found(d.v, "st\xC3\x89phane"), "0,1");                          // stÉphane
    EXPECT_EQ(found(d.v, "\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1"), "1,0"); // σοφία
    EXPECT_EQ(found(d.v, "\xD1\x91\xD0\xBB\xD0\xBA\xD0\xB0"), "1,1");         // ёлка
}

TEST(GridFind, FinalSigmaAndSigmaFindEachOther) {
    LoadedViewer d(data_dump("a", "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82\n")); // λόγος
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(found(d.v, "\xCE\x9B\xCE\x8C\xCE\x93\xCE\x9F\xCE\xA3"), "0,0 wrapped"); // ΛΌΓΟΣ
    EXPECT_EQ(found(d.v, "\xCE\xBF\xCF\x83"), "0,0 wrapped");                         // οσ
}

TEST(GridFind, AnEscapedCellMatchesAsDecodedAndNotAsWritten) {
    LoadedViewer d(data_dump("a, b", "x\tone\\ttwo\n"
                                     "x\tback\\\\slash\n"
                                     "x\tthr\\nee\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(found(d.v, "ONE TWO"), "0,1");
    EXPECT_EQ(found(d.v, "one\\ttwo"), "none");
    EXPECT_EQ(found(d.v, "ttwo"), "none");
    EXPECT_EQ(found(d.v, "k\\s"), "1,1");
    EXPECT_EQ(found(d.v, "k\\\\s"), "none");
    EXPECT_EQ(found(d.v, "three"), "2,1");
    EXPECT_EQ(found(d.v, "nee"), "none");
    // Going back, the scan meets a raw match after the backslash before the backslash itself.
    EXPECT_EQ(found_before(d.v, "ttwo", 2, 1), "none");
    EXPECT_EQ(found_before(d.v, "two", 2, 1), "0,1");
}

TEST(GridFind, ANullCopiesAsNothingAndNeverMatches) {
    LoadedViewer d(data_dump("a, b, c", "\\N\tN\t\\\\N\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(found(d.v, "n"), "0,1");
    EXPECT_EQ(found(d.v, "n", 0, 1), "0,2");
    EXPECT_EQ(found(d.v, "\\N"), "0,2") << "the cell holding \\\\N copies as \\N";
    EXPECT_EQ(found_before(d.v, "\\n", 0, 2), "0,2 wrapped");
    EXPECT_EQ(found(d.v, "null"), "none");
}

TEST(GridFind, AMatchNeverSpansATabOrARowEnd) {
    LoadedViewer d(data_dump("a, b", "ab\tcd\nef\tgh\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(found(d.v, "bc"), "none");
    EXPECT_EQ(found(d.v, "b\tc"), "none");
    EXPECT_EQ(found(d.v, "de"), "none");
    EXPECT_EQ(found(d.v, "cd"), "0,1");
}

TEST(GridFind, FieldsBeyondTheGridsColumnsAreNoCellsAndShortRowsHaveEmptyOnes) {
    LoadedViewer d(data_dump("a, b", "x\ty\tneedle\tneedle\\t\n"
                                     "x\n"
                                     "x\tneedle\tneedle\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(found(d.v, "needle"), "2,1");
    EXPECT_EQ(found_before(d.v, "needle", 0, 0), "2,1 wrapped");
    EXPECT_EQ(found(d.v, "needle", 1, 1), "2,1") << "from a cell the row lacks";
    EXPECT_EQ(found_before(d.v, "x", 1, 1), "1,0") << "from a cell the row lacks, back";
}

TEST(GridFind, GoesRoundOnceForwardAndBackTryingTheGivenCellLast) {
    LoadedViewer d(data_dump("a, b, c", "1\thit\t3\n4\t5\t6\nhit\t8\t9\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(found(d.v, "hit", 1, 1), "2,0");
    EXPECT_EQ(found(d.v, "hit", 2, 0), "0,1 wrapped");
    EXPECT_EQ(found(d.v, "hit", 0, 1), "2,0");
    EXPECT_EQ(found_before(d.v, "hit", 2, 0), "0,1");
    EXPECT_EQ(found_before(d.v, "hit", 0, 1), "2,0 wrapped");
    EXPECT_EQ(found_before(d.v, "hit", 1, 1), "0,1");
    EXPECT_EQ(found(d.v, "5", 1, 1), "1,1 wrapped");
    EXPECT_EQ(found_before(d.v, "5", 1, 1), "1,1 wrapped");
    EXPECT_EQ(found(d.v, "9", 2, 2), "2,2 wrapped");
    EXPECT_EQ(found_before(d.v, "1", 0, 0), "0,0 wrapped");
    EXPECT_EQ(found(d.v, "hit", 99, 99), "0,1 wrapped") << "a cell outside is taken as the last";
}

TEST(GridFind, FindsNothingWithoutAMatchRowsOrColumnsOrNeedle) {
    LoadedViewer d(data_dump("a, b", "one\ttwo\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(found(d.v, "three"), "none");
    EXPECT_EQ(found(d.v, ""), "refused");
    Needle empty;
    needle_compile(&empty, "", 0);
    GridHit hit = {-7, -7, -7};
    EXPECT_EQ(grid_find(&d.v, &empty, 0, 0, FIND_NEXT, &hit), 0);
    LoadedViewer no_rows(data_dump("a, b", ""));
    ASSERT_EQ(no_rows.loaded, 1);
    EXPECT_EQ(found(no_rows.v, "a"), "none");
}

TEST(GridFind, OnlyTheFirst8191BytesOfACellAreSearched) {
    const std::string head(8188, 'a');
    LoadedViewer d(data_dump("a", "xyz" + head + "xyz\n" + head + "\\t\\tqxyz\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(found(d.v, "aaax"), "none") << "the second xyz starts at byte 8191";
    EXPECT_EQ(found(d.v, "aaa x"), "none") << "the escapes are cut after their backslash";
    EXPECT_EQ(found(d.v, "aaa "), "1,0");
    // Going back, the match past the cut is met first; the one at the start still counts.
    EXPECT_EQ(found_before(d.v, "xyz", 1, 0), "0,0");
    EXPECT_EQ(found_before(d.v, "Xy", 1, 0), "0,0");
}

TEST(GridFind, AReplacementCharacterMatchesIllFormedBytesOfAnyLength) {
    LoadedViewer d(data_dump("a, b", "ok\tx\xFFy\n"
                                     "\xE2\x82z\tx\xEF\xBF\xBDy\n"));
    ASSERT_EQ(d.loaded, 1);
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(found(d.v, "X" + replacement + "Y"), "0,1");
    EXPECT_EQ(found(d.v, "x\xFFy", 0, 1), "1,1")
        << "the needle's own ill-formed byte reads as U+FFFD";
    EXPECT_EQ(found(d.v, replacement + "Z"), "1,0");
    EXPECT_EQ(found_before(d.v, replacement, 0, 0), "1,1 wrapped");
}
