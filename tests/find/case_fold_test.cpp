// Case folding: which letters compare alike, every code point against Unicode's CaseFolding.txt,
// and the two promises the search builds on (folding once is enough, and a letter's forms have the
// same UTF-8 length).
#include <gtest/gtest.h>

#include "find/case_fold.h"

#include "ucd.h"

#include <algorithm>
#include <vector>

namespace {

size_t utf8_len(uint32_t cp) {
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

// What fold_case must give for each code point: Unicode's simple folding where it keeps the UTF-8
// length, the code point itself elsewhere. Read once; empty when the file cannot be read.
const std::vector<uint32_t> &expected_folding() {
    static const std::vector<uint32_t> folding = [] {
        std::vector<uint32_t> f = ucd::simple_folding();
        for (uint32_t cp = 0; cp < f.size(); ++cp)
            if (utf8_len(f[cp]) != utf8_len(cp)) f[cp] = cp;
        return f;
    }();
    return folding;
}

} // namespace

TEST(FoldCase, LatinCapitalsFoldToTheirSmallLetters) {
    EXPECT_EQ(fold_case('A'), uint32_t('a'));
    EXPECT_EQ(fold_case('Z'), uint32_t('z'));
    EXPECT_EQ(fold_case(0xC9), 0xE9u);     // É
    EXPECT_EQ(fold_case(0xDE), 0xFEu);     // Þ
    EXPECT_EQ(fold_case(0x100), 0x101u);   // Ā
    EXPECT_EQ(fold_case(0x141), 0x142u);   // Ł
    EXPECT_EQ(fold_case(0x178), 0xFFu);    // Ÿ, whose small letter is in Latin-1
    EXPECT_EQ(fold_case(0x1C4), 0x1C6u);   // Ǆ
    EXPECT_EQ(fold_case(0x1C5), 0x1C6u);   // ǅ, its title-case form
    EXPECT_EQ(fold_case(0x18F), 0x259u);   // Ə
    EXPECT_EQ(fold_case(0x1EA0), 0x1EA1u); // Ạ
    EXPECT_EQ(fold_case(0xFF21), 0xFF41u); // fullwidth A
}

TEST(FoldCase, SmallLettersDigitsAndSignsStayAsTheyAre) {
    for (uint32_t cp : {uint32_t('a'), uint32_t('0'), uint32_t('@'), uint32_t('['), 0xE9u, 0xF7u,
                        0xD7u, 0x101u, 0x3C3u, 0x436u, 0x561u, 0x4E2Du})
        EXPECT_EQ(fold_case(cp), cp) << std::hex << cp;
}

TEST(FoldCase, GreekCapitalsAccentedCapitalsAndFinalSigmaFoldToSmallLetters) {
    EXPECT_EQ(fold_case(0x3A3), 0x3C3u); // Σ
    EXPECT_EQ(fold_case(0x3C2), 0x3C3u); // ς, final sigma, compares as σ
    EXPECT_EQ(fold_case(0x391), 0x3B1u); // Α
    EXPECT_EQ(fold_case(0x386), 0x3ACu); // Ά
    EXPECT_EQ(fold_case(0x38F), 0x3CEu); // Ώ
    EXPECT_EQ(fold_case(0x3AA), 0x3CAu); // Ϊ
    EXPECT_EQ(fold_case(0x3D1), 0x3B8u); // ϑ, the theta symbol
    EXPECT_EQ(fold_case(0xB5), 0x3BCu);  // the micro sign compares as μ
}

TEST(FoldCase, CyrillicAndArmenianCapitalsFoldToTheirSmallLetters) {
    EXPECT_EQ(fold_case(0x416), 0x436u);   // Ж
    EXPECT_EQ(fold_case(0x401), 0x451u);   // Ё
    EXPECT_EQ(fold_case(0x40F), 0x45Fu);   // Џ
    EXPECT_EQ(fold_case(0x462), 0x463u);   // Ѣ
    EXPECT_EQ(fold_case(0x4C0), 0x4CFu);   // Ӏ
    EXPECT_EQ(fold_case(0x4C1), 0x4C2u);   // Ӂ
    EXPECT_EQ(fold_case(0x4D8), 0x4D9u);   // Ә
    EXPECT_EQ(fold_case(0x500), 0x501u);   // Ԁ
    EXPECT_EQ(fold_case(0xA640), 0xA641u); // Ꙁ
    EXPECT_EQ(fold_case(0x531), 0x561u);   // Ա
}

TEST(FoldCase, CapitalsOfEveryScriptWithCaseFoldBeyondTheBasicMultilingualPlaneToo) {
    EXPECT_EQ(fold_case(0x42F), 0x44Fu);     // Я, the last of the basic Cyrillic capitals
    EXPECT_EQ(fold_case(0x1F08), 0x1F00u);   // Ἀ, polytonic Greek
    EXPECT_EQ(fold_case(0x2160), 0x2170u);   // Roman numeral one
    EXPECT_EQ(fold_case(0x24B6), 0x24D0u);   // circled A
    EXPECT_EQ(fold_case(0x2C00), 0x2C30u);   // Glagolitic
    EXPECT_EQ(fold_case(0xAB70), 0x13A0u);   // Cherokee folds its small letters to its capitals
    EXPECT_EQ(fold_case(0x10400), 0x10428u); // Deseret
    EXPECT_EQ(fold_case(0x1E921), 0x1E943u); // Adlam, the last capital Unicode has
}

TEST(FoldCase, FormsOfAnotherUtf8LengthAreLeftAlone) {
    EXPECT_EQ(fold_case(0x17F), 0x17Fu);   // long s
    EXPECT_EQ(fold_case(0x212A), 0x212Au); // Kelvin sign
    EXPECT_EQ(fold_case(0x212B), 0x212Bu); // Angstrom sign
    EXPECT_EQ(fold_case(0x1E9E), 0x1E9Eu); // capital sharp s
    EXPECT_EQ(fold_case(0x2C6F), 0x2C6Fu); // turned A, whose small letter takes two bytes
}

// Every code point, so the first and last of every range of the table and the ones just outside.
TEST(FoldCase, EveryCodePointFoldsAsUnicodesSimpleFoldingOfTheSameLength) {
    const std::vector<uint32_t> &want = expected_folding();
    ASSERT_FALSE(want.empty()) << ucd::missing("CaseFolding.txt");
    for (uint32_t cp = 0; cp < ucd::CODE_POINTS; ++cp) {
        uint32_t f = fold_case(cp);
        ASSERT_EQ(f, want[cp]) << "U+" << std::hex << cp;
        ASSERT_EQ(fold_case(f), f) << "U+" << std::hex << cp;
    }
}

// The scan looks for the bytes of every form of a letter, so the variants must be all of them.
TEST(CaseVariants, AreExactlyTheCodePointsThatFoldAlike) {
    const std::vector<uint32_t> &want = expected_folding();
    ASSERT_FALSE(want.empty()) << ucd::missing("CaseFolding.txt");
    std::vector<uint8_t> alike(ucd::CODE_POINTS, 0); // how many code points fold to each
    for (uint32_t cp = 0; cp < ucd::CODE_POINTS; ++cp) ++alike[want[cp]];
    uint32_t forms[CASE_VARIANTS_MAX];
    for (uint32_t cp = 0; cp < ucd::CODE_POINTS; ++cp) {
        size_t n = case_variants(cp, forms);
        ASSERT_EQ(n, alike[want[cp]]) << "U+" << std::hex << cp;
        for (size_t k = 0; k < n; ++k) {
            ASSERT_EQ(want[forms[k]], want[cp]) << "U+" << std::hex << cp;
            ASSERT_EQ(std::count(forms, forms + n, forms[k]), 1) << "U+" << std::hex << cp;
        }
    }
    EXPECT_EQ(case_variants(0x3B8, forms), 4u); // θ Θ ϑ ϴ
    EXPECT_EQ(case_variants('q', forms), 2u);
    EXPECT_EQ(case_variants('1', forms), 1u);
}
