// One cell's whole value for the value view: found as the grid shows its rows, decoded whole, and
// indented when it is a json column's valid JSON.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alloc_hook.h"
#include "column_kinds.h"
#include "export/value_view.h"
#include "temp_dump.h"

// The result's name and the text, e.g. "text:abc", "null", "none" (and no block left behind).
static std::string shown(const Viewer &v, const ColumnType *types, int32_t row, int32_t col) {
    StrBuf out;
    out.data = reinterpret_cast<char *>(&out);
    const ValueShown result = value_view_text(&v, types, row, col, &out);
    const char *names[] = {"none", "null", "text", "json", "not json", "no memory"};
    std::string s = names[result];
    const bool holds = result == VALUE_TEXT || result == VALUE_JSON || result == VALUE_NOT_JSON;
    if (!holds) return out.data ? s + ":<left a block>" : s;
    s += ":" + std::string(out.data, out.len);
    sb_drop(&out);
    return s;
}

class ValueViewTest : public AllocationHookTest {};

TEST_F(ValueViewTest, TheValueIsDecodedWholeAndANullOrMissingFieldIsNull) {
    const std::string long_value = std::string(9000, 'v') + "\\\\end";
    LoadedViewer d(data_dump("a, b, c", "x\\ty\\n\\101\t\\N\t" + long_value + "\nonly\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(shown(d.v, nullptr, 0, 0), "text:x\ty\nA");
    EXPECT_EQ(shown(d.v, nullptr, 0, 1), "null");
    EXPECT_EQ(shown(d.v, nullptr, 0, 2), "text:" + std::string(9000, 'v') + "\\end");
    EXPECT_EQ(shown(d.v, nullptr, 1, 2), "null");
    for (auto [row, col] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 3}})
        EXPECT_EQ(shown(d.v, nullptr, row, col), "none") << row << ", " << col;
}

// As the grid shows it: the line's carriage return is its last field's last byte, so a NULL
// marker before it is the value "N" and a carriage return.
TEST_F(ValueViewTest, ACarriageReturnEndingACrLfLineIsTheLastValuesLastByte) {
    LoadedViewer d(magic() + section("DATA", "COPY t (a, b) FROM stdin;\r\nx\\r\ty\r\n1\t\\N\r\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(shown(d.v, nullptr, 0, 0), "text:x\r");
    EXPECT_EQ(shown(d.v, nullptr, 0, 1), "text:y\r");
    EXPECT_EQ(shown(d.v, nullptr, 1, 1), "text:N\r");
}

TEST_F(ValueViewTest, AJsonColumnsValidValueIsIndentedAndAnInvalidOneShownAsStored) {
    LoadedViewer d(data_dump("doc, note", "{\"a\":\\t[1]}\t{\"a\":1}\n{oops\tx\n\\N\tx\n"));
    ASSERT_EQ(d.loaded, 1);
    const std::vector<ColumnType> types = kinds({KIND_JSON, KIND_TEXT});
    EXPECT_EQ(shown(d.v, types.data(), 0, 0), "json:{\n  \"a\": [\n    1\n  ]\n}");
    EXPECT_EQ(shown(d.v, types.data(), 1, 0), "not json:{oops");
    EXPECT_EQ(shown(d.v, types.data(), 2, 0), "null");
    EXPECT_EQ(shown(d.v, types.data(), 0, 1), "text:{\"a\":1}");
    EXPECT_EQ(shown(d.v, nullptr, 0, 0), "text:{\"a\":\t[1]}");
}

TEST_F(ValueViewTest, NoMemoryAtAnyPointGivesNothing) {
    std::string doc = "[";
    for (int i = 0; i < 2000; ++i) doc += "{\"k\":\"v\\\\n\"},";
    doc += std::string(700, '[') + std::string(700, ']') + "]";
    LoadedViewer d(data_dump("doc", doc + "\n"));
    ASSERT_EQ(d.loaded, 1);
    const std::vector<ColumnType> types = kinds({KIND_JSON});
    long before = mem_alloc_count();
    const std::string whole = shown(d.v, types.data(), 0, 0);
    const long points = mem_alloc_count() - before;
    ASSERT_EQ(whole.substr(0, 5), "json:");
    ASSERT_GT(points, 3);
    for (long i = 0; i < points; ++i) {
        const long live = mem_live_count();
        mem_fail_after(i);
        EXPECT_EQ(shown(d.v, types.data(), 0, 0), "no memory") << "allocation " << i << " failed";
        EXPECT_EQ(mem_live_count(), live) << "allocation " << i << " failed: a block was kept";
    }
}
