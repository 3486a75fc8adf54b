// JSON checked as RFC 8259 reads it, and indented for the value view with every token as stored,
// hostile nesting included.
#include <gtest/gtest.h>

#include <string>

#include "alloc_hook.h"
#include "export/json_layout.h"
#include "export/json_scan.h"

static JsonCheck checked(const std::string &text) {
    return json_check(text.data(), text.size());
}

// The indented text, or "<invalid>" / "<no memory>" (and then no block may be left behind).
static std::string indented(const std::string &text) {
    StrBuf out;
    out.data = reinterpret_cast<char *>(&out);
    JsonCheck check = json_indent(text.data(), text.size(), &out);
    if (check != JSON_VALID) {
        if (out.data) return "<left a block>";
        return check == JSON_INVALID ? "<invalid>" : "<no memory>";
    }
    std::string s(out.data, out.len);
    sb_drop(&out);
    return s;
}

TEST(JsonCheck, AcceptsWhatTheGrammarAllows) {
    for (const char *text : {"0", "-0.5e+3", "1E5", "\"\"", "true", " null ", "[]", "{}",
                             "\t[ 1 , {\"a\" : [ ] } ]\r\n", "{\"a\":1,\"a\":2}",
                             "\"\\u00e9\\ud800\\/\\b\\f\\n\\r\\t\\\"\\\\\"", "\"\xF0\x9F\x90\x89\"",
                             "\"\xEF\xBF\xBD\"", "[[[[[[[[[[]]]]]]]]]]"})
        EXPECT_EQ(checked(text), JSON_VALID) << text;
}

TEST(JsonCheck, RefusesWhatItDoesNot) {
    for (const char *text : {"",
                             "  ",
                             "01",
                             "1.",
                             ".5",
                             "+1",
                             "-",
                             "1e",
                             "NaN",
                             "Infinity",
                             "tru",
                             "nulls",
                             "'a'",
                             "[1,]",
                             "{\"a\":1,}",
                             "{a:1}",
                             "{\"a\"}",
                             "{\"a\" 1}",
                             "[1 2]",
                             "[}",
                             "{]",
                             "[",
                             "]",
                             "1 2",
                             "\"a\tb\"",
                             "\"\\x41\"",
                             "\"\\u12g4\"",
                             "\"\\u123\"",
                             "\"open",
                             "\"\xC3\"",
                             "\"\xED\xA0\x80\"",
                             "\"\xC0\xAF\"",
                             "[1]x",
                             "{\"a\":1}}"})
        EXPECT_EQ(checked(text), JSON_INVALID) << text;
}

// A control character stands in a string only escaped, and between tokens only the four blanks
// JSON names may: a validator that let any other through would let Copy as JSON embed it.
TEST(JsonCheck, EveryControlCharacterIsRefusedInAStringAndAllButFourBetweenTokens) {
    for (int c = 0; c < 0x20; ++c) {
        const std::string byte(1, static_cast<char>(c));
        EXPECT_EQ(checked("\"a" + byte + "b\""), JSON_INVALID) << "in a string: " << c;
        EXPECT_EQ(checked("\"" + byte + "\""), JSON_INVALID) << "a string of it alone: " << c;
        const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        EXPECT_EQ(checked("[1," + byte + "2]"), blank ? JSON_VALID : JSON_INVALID)
            << "between tokens: " << c;
    }
    EXPECT_EQ(checked("\" \x7F\""), JSON_VALID) << "DEL is no control character to JSON";
    EXPECT_EQ(checked("\"\\u001f\""), JSON_VALID);
}

TEST(JsonCheck, AMegabyteOfNestingIsWalkedWithoutRecursion) {
    const size_t depth = 512 * 1024;
    EXPECT_EQ(checked(std::string(depth, '[') + std::string(depth, ']')), JSON_VALID);
    EXPECT_EQ(checked(std::string(depth, '[') + std::string(depth - 1, ']')), JSON_INVALID);
    std::string mixed;
    for (int i = 0; i < 100000; ++i) mixed += "{\"k\":[";
    for (int i = 0; i < 100000; ++i) mixed += "]}";
    EXPECT_EQ(checked(mixed), JSON_VALID);
    mixed[mixed.size() - 2] = '}'; // a close that is not the innermost one's
    EXPECT_EQ(checked(mixed), JSON_INVALID);
}

TEST(JsonIndent, OneMemberOrElementALineTwoBlanksALevel) {
    EXPECT_EQ(indented("{\"a\":1,\"b\":[true,{\"c\":null}],\"d\":{}, \"e\" : [ ]}"),
              "{\n"
              "  \"a\": 1,\n"
              "  \"b\": [\n"
              "    true,\n"
              "    {\n"
              "      \"c\": null\n"
              "    }\n"
              "  ],\n"
              "  \"d\": {},\n"
              "  \"e\": []\n"
              "}");
    EXPECT_EQ(indented(" 42 "), "42");
    EXPECT_EQ(indented("[ ]"), "[]");
}

TEST(JsonIndent, StringsAndNumbersStayAsStored) {
    EXPECT_EQ(indented("[\"\\u00e9\\n\\/\", 1E5, -0.0, 1.50]"),
              "[\n  \"\\u00e9\\n\\/\",\n  1E5,\n  -0.0,\n  1.50\n]");
}

TEST(JsonIndent, AnInvalidTextGivesNothing) {
    EXPECT_EQ(indented("{\"a\":}"), "<invalid>");
    EXPECT_EQ(indented("not json"), "<invalid>");
}

TEST(JsonIndent, DeepNestingStopsIndentingSoTheTextStaysLinear) {
    const size_t depth = 100000;
    const std::string text = indented(std::string(depth, '[') + "1" + std::string(depth, ']'));
    // Each bracket gets a line of at most the cap's blanks.
    EXPECT_LT(text.size(), depth * 2 * (2 + 2 * JSON_INDENT_LEVELS_MAX));
    EXPECT_EQ(text.substr(0, 8), "[\n  [\n  ");
    const std::string deepest = "\n" + std::string(2 * JSON_INDENT_LEVELS_MAX, ' ') + "1\n";
    EXPECT_NE(text.find(deepest), std::string::npos);
    EXPECT_EQ(text.find(std::string(2 * JSON_INDENT_LEVELS_MAX + 1, ' ')), std::string::npos);
}

class JsonMemoryTest : public AllocationHookTest {};

TEST_F(JsonMemoryTest, NoMemoryForDeepNestingOrTheTextGivesNothing) {
    const std::string deep = std::string(2000, '[') + std::string(2000, ']');
    mem_fail_after(0);
    EXPECT_EQ(checked(deep), JSON_NO_MEMORY);
    const long shallow_before = mem_alloc_count();
    EXPECT_EQ(checked(std::string(500, '[') + std::string(500, ']')), JSON_VALID);
    EXPECT_EQ(mem_alloc_count(), shallow_before) << "shallow nesting needs no block";

    std::string wide = "[";
    for (int i = 0; i < 3000; ++i) wide += "[\"abcdefgh\"],";
    wide += std::string(600, '[') + std::string(600, ']') + "]";
    long before = mem_alloc_count();
    const std::string whole = indented(wide);
    const long points = mem_alloc_count() - before;
    ASSERT_GT(points, 3);
    for (long i = 0; i < points; ++i) {
        const long live = mem_live_count();
        mem_fail_after(i);
        EXPECT_EQ(indented(wide), "<no memory>") << "allocation " << i << " failed";
        EXPECT_EQ(mem_live_count(), live) << "allocation " << i << " failed: a block was kept";
    }
    mem_fail_after(points);
    EXPECT_EQ(indented(wide), whole);
}
