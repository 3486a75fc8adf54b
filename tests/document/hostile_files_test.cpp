// Hostile and odd files through the loader and every reader of the document: each is refused
// without a trace or gives exactly the document its bytes describe, and no reader trips on it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "alloc_hook.h"
#include "document/tab_text.h"
#include "grid/cells.h"
#include "grid/cursor.h"
#include "grid/selection_text.h"
#include "hostile_files.h"
#include "whole_file_rules.h"

namespace {

// Room the cells are asked with, as the module tests read them from the grid: shorter than the
// longest field, so cut cells are among those read.
constexpr size_t kRoom = 512;

std::vector<std::string> split(const std::string &text, const std::string &sep) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t at; (at = text.find(sep, from)) != std::string::npos; from = at + sep.size())
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    return parts;
}

// What the grid shows for one field of a row line: its first kRoom - 1 bytes, "null" for "\N",
// nothing for a field the line does not have.
std::string shown_field(const std::string &row, int col) {
    std::vector<std::string> fields = split(row, "\t");
    if (col >= static_cast<int>(fields.size())) return "";
    const std::string &f = fields[static_cast<size_t>(col)];
    return f == "\\N" ? "null" : f.substr(0, kRoom - 1);
}

// The Full SQL script as the tab's rule composes it from the document's parts.
std::string script_of(const HostileFile &f) {
    std::string s;
    if (f.sql && !f.sql->empty()) s += *f.sql + "\n";
    if (f.copy_line && !f.copy_line->empty()) {
        s += "\n" + *f.copy_line + "\n";
        for (const std::string &row : f.rows) s += row + "\n";
        s += "\\.\n";
    }
    if (f.info && !f.info->empty()) s += "\n" + *f.info;
    return s;
}

void expect_text(const char *got, size_t len, const std::optional<std::string> &want,
                 const char *what) {
    if (!want) {
        EXPECT_EQ(got, nullptr) << what;
    } else if (got == nullptr) {
        ADD_FAILURE() << what << " is null";
    } else {
        EXPECT_EQ(std::string(got, len), *want) << what;
    }
}

void expect_text(const char *got, const std::optional<std::string> &want, const char *what) {
    expect_text(got, got ? std::strlen(got) : 0, want, what);
}

class HostileFileLoad : public AllocationHookTest,
                        public ::testing::WithParamInterface<HostileCase> {
  protected:
    void SetUp() override {
        AllocationHookTest::SetUp();
        file = GetParam().make();
    }
    HostileFile file;
};

// The files that load, read through every reader of the document.
class HostileDocument : public HostileFileLoad {
  protected:
    void SetUp() override {
        HostileFileLoad::SetUp();
        ASSERT_TRUE(file.loads);
    }
};

std::string case_name(const ::testing::TestParamInfo<HostileCase> &info) {
    return info.param.name;
}

} // namespace

TEST_P(HostileFileLoad, IsRefusedUntouchedOrGivesTheDocumentItsBytesDescribe) {
    if (!file.loads) {
        TempFile temp(file.bytes);
        PatternedViewer p;
        EXPECT_EQ(load_file(&p.v, temp.path()), 0);
        EXPECT_TRUE(p.unchanged());
        return;
    }
    LoadedViewer d(file.bytes);
    ASSERT_EQ(d.loaded, 1);
    const Viewer &v = d.v;
    ASSERT_EQ(v.buf_len, static_cast<int64_t>(file.bytes.size()));
    expect_text(v.sql, v.sql_len, file.sql, "sql");
    expect_text(v.info, v.info_len, file.info, "info");
    expect_text(v.copy_line, file.copy_line, "copy_line");
    EXPECT_EQ(std::string(v.status), file.status);
    EXPECT_EQ(v.full_sql, nullptr);

    ASSERT_EQ(v.col_count, file.col_count);
    const int slots = file.col_count < MAX_COLS ? file.col_count : MAX_COLS;
    ASSERT_EQ(static_cast<int>(file.col_names.size()), slots);
    for (int c = 0; c < slots; ++c)
        expect_text(v.col_names[c], file.col_names[static_cast<size_t>(c)],
                    ("name " + std::to_string(c)).c_str());

    ASSERT_EQ(v.row_count, static_cast<int32_t>(file.rows.size()));
    for (int32_t r = 0; r < v.row_count; ++r) {
        ASSERT_EQ(row_at(v, r), file.rows[static_cast<size_t>(r)]) << "row " << r;
    }
}

TEST_P(HostileFileLoad, CountedInStepsOfAnySizeGivesWhatTheWholeFileRulesGive) {
    const WholeFileDocument want = whole_file_rules(file.bytes);
    ASSERT_EQ(want.loads, file.loads);
    if (!file.loads) return;
    LoadedViewer d(file.bytes);
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(whole_file_difference(&d.v, want), "");
    // Steps of a byte, of a few bytes and of one whole read, each growing as the viewer's do.
    for (uint64_t budget : {uint64_t{1}, uint64_t{7}, uint64_t{4096}, uint64_t{1} << 30}) {
        EXPECT_EQ(counted_in_steps_difference(file.bytes, budget, want), "") << budget << " bytes";
        // Read from its file as the viewer reads it, each step read before it is scanned.
        EXPECT_EQ(counted_from_disk_difference(file.bytes, budget, want), "")
            << budget << " bytes from the file";
    }
}

TEST_P(HostileDocument, EveryCellReadsAsItsFieldAndNothingPastTheGrid) {
    LoadedViewer d(file.bytes);
    ASSERT_EQ(d.loaded, 1);
    char room[kRoom];
    for (int32_t r = 0; r < d.v.row_count; ++r) {
        const std::string &row = file.rows[static_cast<size_t>(r)];
        for (int32_t c = 0; c <= d.v.col_count; ++c) {
            std::memset(room, '#', sizeof room);
            cell_text(&d.v, r, c, room, sizeof room);
            ASSERT_EQ(std::string(room), shown_field(row, c)) << "row " << r << ", column " << c;
        }
    }
    for (int32_t r : {-1, d.v.row_count}) {
        std::memset(room, '#', sizeof room);
        cell_text(&d.v, r, 0, room, sizeof room);
        EXPECT_STREQ(room, "") << "row " << r;
    }
}

TEST_P(HostileDocument, TextTabsShowTheSectionsAndTheComposedScript) {
    LoadedViewer d(file.bytes);
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(tab_string(&d.v, TAB_DATA), "");
    EXPECT_EQ(tab_string(&d.v, TAB_SQL), file.sql ? *file.sql : "(no SQL)");
    EXPECT_EQ(tab_string(&d.v, TAB_INFO), file.info ? *file.info : "(no info)");
    size_t len = 0;
    const char *script = tab_text(&d.v, TAB_FULLSQL, &len);
    ASSERT_EQ(script, d.v.full_sql) << "the script was not kept";
    EXPECT_EQ(std::string(script, len), script_of(file));
    EXPECT_EQ(tab_text(&d.v, 5, &len), script) << "composed once, then reused";

    // What the text view's copy takes: the same texts, an absent one as nothing.
    const std::string copies[] = {file.sql.value_or(""), file.info.value_or(""), script_of(file)};
    for (int tab : {TAB_SQL, TAB_INFO, TAB_FULLSQL}) {
        d.v.tab = tab;
        EXPECT_EQ(copy_string(&d.v), copies[tab - TAB_SQL]) << "tab " << tab;
    }
}

TEST_P(HostileDocument, HeaderBarLineEndsInTheWholeStatus) {
    LoadedViewer d(file.bytes);
    ASSERT_EQ(d.loaded, 1);
    for (int tab : {TAB_DATA, TAB_SQL, TAB_INFO, TAB_FULLSQL}) {
        char bar[BAR_TEXT_LEN];
        format_bar_text(bar, sizeof bar, tab, d.v.status);
        const std::string line = bar;
        ASSERT_GE(line.size(), file.status.size()) << "tab " << tab;
        EXPECT_EQ(line.substr(line.size() - file.status.size()), file.status) << "tab " << tab;
    }
}

TEST_P(HostileDocument, SelectAllCopiesOneLineOfEveryColumnPerRow) {
    LoadedViewer d(file.bytes);
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(grid_apply_key(&d.v, KEY_A, 1, 0, 0), 1);
    StrBuf text;
    const int built = selection_text(&d.v, &text);
    if (d.v.row_count == 0 || d.v.col_count == 0) {
        EXPECT_EQ(built, 0) << "nothing to copy";
        EXPECT_EQ(text.data, nullptr);
        return;
    }
    ASSERT_EQ(built, 1);
    const std::string copied(text.data, text.len);
    sb_drop(&text);
    EXPECT_EQ(copied.size(), std::strlen(copied.c_str())) << "a NUL inside the copied text";
    ASSERT_GE(copied.size(), 2u);
    ASSERT_EQ(copied.substr(copied.size() - 2), "\r\n");
    std::vector<std::string> lines = split(copied.substr(0, copied.size() - 2), "\r\n");
    ASSERT_EQ(static_cast<int32_t>(lines.size()), d.v.row_count);
    for (size_t r = 0; r < lines.size(); ++r) {
        // A decoded cell holds no tab ("\t" decodes to a blank), so the tabs are the separators.
        ASSERT_EQ(static_cast<int32_t>(split(lines[r], "\t").size()), d.v.col_count)
            << "line " << r;
    }
    if (file.select_all) EXPECT_EQ(copied, *file.select_all);
}

INSTANTIATE_TEST_SUITE_P(Files, HostileFileLoad, ::testing::ValuesIn(hostile_cases()), case_name);
INSTANTIATE_TEST_SUITE_P(Files, HostileDocument, ::testing::ValuesIn(loading_hostile_cases()),
                         case_name);
