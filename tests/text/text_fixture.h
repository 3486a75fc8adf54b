// Test support: texts of one block with their line table, kept alive beside the TextDoc over them.
#pragma once

#include <gtest/gtest.h>

#include "document/row_index.h"
#include "text/text_doc.h"

#include <initializer_list>
#include <string>

struct PlainText {
    std::string text;
    LineTable table{};
    TextDoc doc{};
    explicit PlainText(std::string t) : text(std::move(t)) {
        EXPECT_EQ(line_table_build(&table, text.data(), text.size()), 1);
        text_doc_set_plain(&doc, text.data(), text.size(), &table);
    }
    ~PlainText() { line_table_free(&table); }
    PlainText(const PlainText &) = delete;
    PlainText &operator=(const PlainText &) = delete;
};

// A row index over lines laid out by hand: `starts` are where the lines begin, and the last line
// ends at `end`, as the document's index lays out the rows of a block.
struct IndexedRows {
    RowIndex index{};
    IndexedRows(std::initializer_list<const char *> starts, const char *end) {
        row_index_init(&index, static_cast<int64_t>(starts.size()) + 1);
        int64_t written = 0;
        for (const char *start : starts) row_index_push(&index, &written, start);
        row_index_push(&index, &written, end + 1);
    }
    ~IndexedRows() { row_index_free(&index); }
    IndexedRows(const IndexedRows &) = delete;
    IndexedRows &operator=(const IndexedRows &) = delete;
};
