// Key scripts of the headless mode, as the strokes they play.
#include <gtest/gtest.h>

#include "host/key_script.h"

namespace {

std::vector<KeyStroke> strokes_of(const std::string &script) {
    std::vector<KeyStroke> strokes;
    std::string error;
    EXPECT_TRUE(parse_key_script(script, &strokes, &error)) << error;
    return strokes;
}

bool same(const KeyStroke &a, const KeyStroke &b) {
    return a.key == b.key && a.ctrl == b.ctrl && a.shift == b.shift && a.alt == b.alt;
}

} // namespace

TEST(KeyScript, PlaysMovesSelectionAndCopyInOrder) {
    std::vector<KeyStroke> strokes = strokes_of("Down Down Shift+Right ctrl+c");
    ASSERT_EQ(strokes.size(), 4u);
    EXPECT_TRUE(same(strokes[0], KeyStroke{0x28, false, false, false}));
    EXPECT_TRUE(same(strokes[1], KeyStroke{0x28, false, false, false}));
    EXPECT_TRUE(same(strokes[2], KeyStroke{0x27, false, true, false}));
    EXPECT_TRUE(same(strokes[3], KeyStroke{'C', true, false, false}));
}

TEST(KeyScript, NamedKeysAreTheirVirtualKeysInAnyCase) {
    struct Case {
        const char *name;
        int key;
    } cases[] = {{"Up", 0x26},     {"DOWN", 0x28},   {"left", 0x25},   {"Right", 0x27},
                 {"home", 0x24},   {"End", 0x23},    {"PageUp", 0x21}, {"pagedown", 0x22},
                 {"Escape", 0x1B}, {"INSERT", 0x2D}, {"Tab", 0x09}};
    for (const Case &c : cases) {
        std::vector<KeyStroke> strokes = strokes_of(c.name);
        ASSERT_EQ(strokes.size(), 1u) << c.name;
        EXPECT_EQ(strokes[0].key, c.key) << c.name;
    }
}

TEST(KeyScript, DigitsAndLettersAreTheirMainKeyboardKeys) {
    std::vector<KeyStroke> strokes = strokes_of("1 4 a Z");
    ASSERT_EQ(strokes.size(), 4u);
    EXPECT_EQ(strokes[0].key, '1');
    EXPECT_EQ(strokes[1].key, '4');
    EXPECT_EQ(strokes[2].key, 'A');
    EXPECT_EQ(strokes[3].key, 'Z');
}

TEST(KeyScript, ModifiersCombineInAnyOrderAndCase) {
    std::vector<KeyStroke> strokes = strokes_of("Ctrl+Shift+End shift+CTRL+home Alt+Right");
    ASSERT_EQ(strokes.size(), 3u);
    EXPECT_TRUE(same(strokes[0], KeyStroke{0x23, true, true, false}));
    EXPECT_TRUE(same(strokes[1], KeyStroke{0x24, true, true, false}));
    EXPECT_TRUE(same(strokes[2], KeyStroke{0x27, false, false, true}));
}

TEST(KeyScript, BlanksOfAnyKindSeparateStrokes) {
    EXPECT_EQ(strokes_of("  Up\tDown  ").size(), 2u);
    EXPECT_TRUE(strokes_of("").empty());
    EXPECT_TRUE(strokes_of("   ").empty());
}

TEST(KeyScript, AnUnknownNameRefusesTheWholeScriptAndIsNamed) {
    for (const char *bad : {"Dwn", "Meta+A", "Shift+", "+", "F1", "Ctrl+Shift", "12"}) {
        std::vector<KeyStroke> strokes = {KeyStroke{1, false, false, false}};
        std::string error;
        EXPECT_FALSE(parse_key_script(std::string("Down ") + bad, &strokes, &error)) << bad;
        EXPECT_TRUE(strokes.empty()) << bad;
        EXPECT_NE(error.find(bad), std::string::npos) << error;
    }
}
