// The caret as an edit control's user expects it: steps by whole characters, CR LF as one line
// break, Up and Down keeping their column, pages, Shift extending and plain moves collapsing, word
// moves and the double-click word, and which characters words are made of.
#include <gtest/gtest.h>

#include "grid/cursor.h"
#include "text/caret.h"
#include "text/char_kind.h"
#include "text_fixture.h"
#include "ucd.h"

#include <vector>

namespace {

// The caret after each of `n` moves from `start`.
std::vector<size_t> stops(const TextDoc &doc, size_t start, TextMove move, int n, size_t page = 1) {
    TextCaret t{start, start, 0, 0};
    std::vector<size_t> out;
    for (int i = 0; i < n; ++i) {
        text_move(&t, &doc, nullptr, move, 0, page);
        out.push_back(t.caret);
    }
    return out;
}

void expect_caret(const TextCaret &t, size_t anchor, size_t caret) {
    EXPECT_EQ(t.anchor, anchor);
    EXPECT_EQ(t.caret, caret);
}

} // namespace

TEST(CaretKeys, CtrlTurnsCharacterAndLineMovesIntoWordAndTextMoves) {
    struct Case {
        int key, ctrl;
        TextMove want;
    } cases[] = {
        {KEY_LEFT, 0, TEXT_LEFT},     {KEY_LEFT, 1, TEXT_WORD_LEFT},
        {KEY_RIGHT, 0, TEXT_RIGHT},   {KEY_RIGHT, 1, TEXT_WORD_RIGHT},
        {KEY_HOME, 0, TEXT_HOME},     {KEY_HOME, 1, TEXT_DOC_HOME},
        {KEY_END, 0, TEXT_END},       {KEY_END, 1, TEXT_DOC_END},
        {KEY_UP, 1, TEXT_UP},         {KEY_DOWN, 1, TEXT_DOWN},
        {KEY_PRIOR, 1, TEXT_PAGE_UP}, {KEY_NEXT, 0, TEXT_PAGE_DOWN},
    };
    for (const Case &c : cases) {
        TextMove move = TEXT_LEFT;
        EXPECT_EQ(text_move_for_key(c.key, c.ctrl, &move), 1) << c.key;
        EXPECT_EQ(move, c.want) << c.key << " ctrl " << c.ctrl;
    }
    TextMove move = TEXT_LEFT;
    EXPECT_EQ(text_move_for_key(KEY_A, 1, &move), 0);
}

TEST(Caret, LeftAndRightStepOverWholeCharactersAndACrLfAsOneBreak) {
    // a, e acute, euro sign, an emoji, CR LF, b: the first line ends at 10, the second starts
    // at 12.
    PlainText t("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\r\nb");
    EXPECT_EQ(stops(t.doc, 0, TEXT_RIGHT, 7), (std::vector<size_t>{1, 3, 6, 10, 12, 13, 13}));
    EXPECT_EQ(stops(t.doc, 13, TEXT_LEFT, 7), (std::vector<size_t>{12, 10, 6, 3, 1, 0, 0}));
}

TEST(Caret, UpAndDownKeepTheirColumnOverShorterLinesUntilAnotherMove) {
    PlainText t("0123456789\nab\n0123456789\n\tx");
    TextCaret c{7, 7, 0, 0};
    text_move(&c, &t.doc, nullptr, TEXT_DOWN, 0, 1);
    EXPECT_EQ(c.caret, 13u) << "the end of the short line";
    text_move(&c, &t.doc, nullptr, TEXT_DOWN, 0, 1);
    EXPECT_EQ(c.caret, 21u) << "column 7 again";
    text_move(&c, &t.doc, nullptr, TEXT_DOWN, 0, 1);
    EXPECT_EQ(c.caret, 26u) << "column 7 is in the tab's right half: after it";
    text_move(&c, &t.doc, nullptr, TEXT_UP, 0, 1);
    EXPECT_EQ(c.caret, 21u);
    text_move(&c, &t.doc, nullptr, TEXT_LEFT, 0, 1);
    text_move(&c, &t.doc, nullptr, TEXT_UP, 0, 1);
    EXPECT_EQ(c.caret, 13u);
    text_move(&c, &t.doc, nullptr, TEXT_UP, 0, 1);
    EXPECT_EQ(c.caret, 6u) << "the goal is column 6 now";
    text_move(&c, &t.doc, nullptr, TEXT_UP, 0, 1);
    EXPECT_EQ(c.caret, 6u) << "the first line has none before it";
}

TEST(Caret, PagesMoveByTheLinesInViewAndStopAtTheFirstAndLastLine) {
    PlainText t("l0\nl1\nl2\nl3\nl4\nl5\nl6\nx");
    EXPECT_EQ(stops(t.doc, 1, TEXT_PAGE_DOWN, 3, 3), (std::vector<size_t>{10, 19, 22}));
    EXPECT_EQ(stops(t.doc, 19, TEXT_PAGE_UP, 3, 4), (std::vector<size_t>{7, 1, 1}));
    EXPECT_EQ(stops(t.doc, 4, TEXT_PAGE_DOWN, 1, 0), (std::vector<size_t>{7})) << "page 0 is 1";
}

TEST(Caret, ShiftExtendsFromTheAnchorAndPlainLeftOrRightCollapseTheSelection) {
    PlainText t("hello world\nsecond");
    TextCaret c{0, 0, 0, 0};
    for (int i = 0; i < 3; ++i) text_move(&c, &t.doc, nullptr, TEXT_RIGHT, 1, 1);
    expect_caret(c, 0, 3);
    text_move(&c, &t.doc, nullptr, TEXT_RIGHT, 0, 1);
    expect_caret(c, 3, 3);
    text_move(&c, &t.doc, nullptr, TEXT_LEFT, 1, 1);
    text_move(&c, &t.doc, nullptr, TEXT_LEFT, 1, 1);
    expect_caret(c, 3, 1);
    EXPECT_EQ(text_sel_start(&c), 1u);
    EXPECT_EQ(text_sel_end(&c), 3u);
    TextCaret back = c;
    text_move(&back, &t.doc, nullptr, TEXT_RIGHT, 0, 1);
    expect_caret(back, 3, 3);
    text_move(&c, &t.doc, nullptr, TEXT_LEFT, 0, 1);
    expect_caret(c, 1, 1);
    text_move(&c, &t.doc, nullptr, TEXT_DOC_END, 1, 1);
    expect_caret(c, 1, t.text.size());
    text_move(&c, &t.doc, nullptr, TEXT_UP, 0, 1);
    expect_caret(c, 6, 6);
    text_select_all(&c, &t.doc);
    expect_caret(c, 0, t.text.size());
}

TEST(WordMoves, RightPassesAWordOrAPunctuationRunAndTheBlanksAfterIt) {
    PlainText t("foo  bar.baz, qux\nnext");
    std::vector<size_t> right;
    for (size_t p = 0; p < 20; p = text_word_right(&t.doc, p)) right.push_back(p);
    EXPECT_EQ(right, (std::vector<size_t>{0, 5, 8, 9, 12, 14, 17, 18}));
    std::vector<size_t> left;
    for (size_t p = 18; p > 0; p = text_word_left(&t.doc, p)) left.push_back(p);
    EXPECT_EQ(left, (std::vector<size_t>{18, 17, 14, 12, 9, 8, 5}));
    EXPECT_EQ(text_word_left(&t.doc, 5), 0u);
    EXPECT_EQ(text_word_right(&t.doc, t.text.size()), t.text.size());
}

TEST(WordMoves, LettersOutsideAsciiJoinWordsAndUnicodeBlanksAndPunctuationSeparate) {
    PlainText t(
        "na\xC3\xAFve caf\xC3\xA9 x\xC2\xA0y \xE4\xB8\xAD\xE6\x96\x87\xEF\xBC\x8C\xE5\xA5\xBD");
    EXPECT_EQ(text_word_right(&t.doc, 0), 7u) << "naïve and its blank";
    EXPECT_EQ(text_word_right(&t.doc, 7), 13u);
    EXPECT_EQ(text_word_right(&t.doc, 13), 16u) << "a no-break space is a blank";
    EXPECT_EQ(text_word_right(&t.doc, 18), 24u) << "the ideographs stop at the fullwidth comma";
    EXPECT_EQ(text_word_left(&t.doc, t.text.size()), 27u);
}

// Blanks are exactly Unicode's separators (and the tab). In the blocks where the punctuation table
// draws its edges by category (ASCII, Latin-1, general punctuation, arrows, the symbols before
// Glagolitic, the vertical, compatibility, small and fullwidth forms), letters and digits join
// words and controls, punctuation and symbols do not; elsewhere the table goes by whole blocks.
TEST(CharKind, BlanksAreUnicodesSeparatorsAndPunctuationEndsWhereItsCategoryDoes) {
    const std::vector<ucd::Category> cats = ucd::categories();
    ASSERT_FALSE(cats.empty()) << ucd::missing("UnicodeData.txt");
    for (uint32_t cp = 0; cp < ucd::CODE_POINTS; ++cp)
        ASSERT_EQ(char_kind(cp) == CHAR_BLANK, cats[cp].major == 'Z' || cp == '\t')
            << "U+" << std::hex << cp;
    const uint32_t by_category[][2] = {{0x0000, 0x00FF}, {0x2000, 0x206F}, {0x2190, 0x21FF},
                                       {0x2B00, 0x2C5F}, {0xFE10, 0xFE1F}, {0xFE30, 0xFE6F},
                                       {0xFF00, 0xFFDF}};
    for (const auto &block : by_category)
        for (uint32_t cp = block[0]; cp <= block[1]; ++cp) {
            const ucd::Category c = cats[cp];
            if (cp == '\t' || c.major == 'Z') continue;
            if (c.major == 'L' || c.major == 'N' || cp == '_')
                EXPECT_EQ(char_kind(cp), CHAR_WORD) << "U+" << std::hex << cp;
            else if (c.major == 'P' || c.major == 'S' || (c.major == 'C' && c.minor == 'c'))
                EXPECT_EQ(char_kind(cp), CHAR_PUNCT) << "U+" << std::hex << cp;
        }
}

TEST(SelectWord, ADoubleClickSelectsTheRunOfTheCharacterUnderIt) {
    PlainText t("foo  bar.baz\n\nend");
    TextCaret c{};
    text_select_word(&c, &t.doc, 6);
    expect_caret(c, 5, 8);
    text_select_word(&c, &t.doc, 3);
    expect_caret(c, 3, 5);
    text_select_word(&c, &t.doc, 8);
    expect_caret(c, 8, 9);
    text_select_word(&c, &t.doc, 12); // at the line's end: the word before
    expect_caret(c, 9, 12);
    text_select_word(&c, &t.doc, 13); // an empty line has nothing to select
    expect_caret(c, 13, 13);
}

TEST(Caret, AnEmptyTextHasOnePlaceForTheCaret) {
    PlainText t("");
    for (TextMove m : {TEXT_LEFT, TEXT_RIGHT, TEXT_UP, TEXT_DOWN, TEXT_END, TEXT_DOC_END,
                       TEXT_PAGE_DOWN, TEXT_WORD_LEFT, TEXT_WORD_RIGHT})
        EXPECT_EQ(stops(t.doc, 0, m, 1), std::vector<size_t>{0}) << m;
    TextCaret c{};
    text_select_word(&c, &t.doc, 0);
    expect_caret(c, 0, 0);
}

TEST(Caret, TheTextsEndIsTheLastLinesEndWithOrWithoutAFinalLineFeed) {
    PlainText open("ab\ncd");
    EXPECT_EQ(stops(open.doc, 0, TEXT_DOC_END, 1), std::vector<size_t>{5});
    EXPECT_EQ(stops(open.doc, 4, TEXT_DOWN, 1), std::vector<size_t>{4});
    PlainText closed("ab\ncd\n");
    EXPECT_EQ(stops(closed.doc, 4, TEXT_DOWN, 1), std::vector<size_t>{6});
    EXPECT_EQ(stops(closed.doc, 6, TEXT_LEFT, 1), std::vector<size_t>{5});
}

TEST(Caret, APositionInsideACharacterOrACrLfMovesBackToABoundary) {
    PlainText t("\xC3\xA9\r\nx");
    TextCaret c{};
    text_set_caret(&c, &t.doc, 1, 0);
    expect_caret(c, 0, 0);
    text_set_caret(&c, &t.doc, 3, 1);
    expect_caret(c, 0, 2);
    text_set_caret(&c, &t.doc, 99, 0);
    expect_caret(c, 5, 5);
}
