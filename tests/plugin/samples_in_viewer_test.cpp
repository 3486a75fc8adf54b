// The real sample dumps opened through the module, as the file manager opens them, and read back
// through the grid control and the clipboard against the values the server gave.
#include "viewer_fixture.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "cell_forms.h"
#include "expected_sample.h"

namespace {

const std::string kExamples = TAVRIN_EXAMPLES_DIR;

std::vector<std::string> sample_stems() {
    std::vector<std::string> stems;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((kExamples + "/*.pg").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return stems;
    do {
        std::string name = found.cFileName;
        stems.push_back(name.substr(0, name.size() - 3));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(stems.begin(), stems.end());
    return stems;
}

std::string file_bytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring utf16(const std::string &text) {
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

class SampleInViewer : public ViewerTest, public testing::WithParamInterface<std::string> {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        std::string base = kExamples + "/" + GetParam();
        std::string error;
        ASSERT_TRUE(read_expected_sample(base + ".expected.tsv", &expected, &error)) << error;
        ASSERT_NE(open(file_bytes(base + ".pg")), nullptr) << base << ".pg";
    }
    ExpectedSample expected;
};

} // namespace

TEST(Samples, AreThereToOpen) {
    EXPECT_GE(sample_stems().size(), 5u) << kExamples;
}

// Read through the Unicode messages under the system's own code page (1252 in Wine's default
// prefix), so every title and value outside ASCII must arrive as the characters the server holds.
TEST_P(SampleInViewer, GridHeadsTheServersColumnsOverItsRows) {
    ASSERT_EQ(column_count(grid()), static_cast<int>(expected.columns.size()));
    for (size_t c = 0; c < expected.columns.size(); ++c)
        EXPECT_EQ(column_text_w(grid(), static_cast<int>(c)), utf16(expected.columns[c]));
    EXPECT_EQ(item_count(grid()), expected.rows);
}

TEST_P(SampleInViewer, TheControlShowsEveryValueAsWrittenAndNullAsNull) {
    const size_t room = 512;
    for (size_t r = 0; r < expected.cells.size(); ++r) {
        for (size_t c = 0; c < expected.cells[r].size(); ++c) {
            std::wstring shown = item_text_w(grid(), static_cast<int>(r), static_cast<int>(c),
                                             static_cast<int>(room));
            std::wstring want = utf16(grid_text(expected.cells[r][c]));
            // A longer value shows its start, cut before a character that does not fit whole.
            size_t fits = std::min(want.size(), room - 1);
            if (fits < want.size() && IS_HIGH_SURROGATE(want[fits - 1])) --fits;
            EXPECT_TRUE(shown == want.substr(0, fits)) << "row " << r << ", column " << c;
        }
        if (HasFailure()) return;
    }
}

TEST_P(SampleInViewer, SelectAllThenCopyPutsEveryDecodedValueOnTheClipboard) {
    set_clipboard_text(L"former");
    press_key(grid(), 'A', true);
    press_key(grid(), 'C', true);
    if (expected.rows == 0) {
        EXPECT_EQ(clipboard_text(), L"former") << "a grid without rows copies nothing";
        return;
    }
    std::string want;
    for (const std::vector<ServerValue> &row : expected.cells) {
        for (size_t c = 0; c < row.size(); ++c) want += (c ? "\t" : "") + clipboard_text(row[c]);
        want += "\r\n";
    }
    EXPECT_EQ(clipboard_text(), utf16(want));
}

INSTANTIATE_TEST_SUITE_P(Examples, SampleInViewer, testing::ValuesIn(sample_stems()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return info.param;
                         });
