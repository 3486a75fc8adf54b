// Test support: texts of one block with their line table, kept alive beside the TextDoc over them.
#pragma once

#include <gtest/gtest.h>

#include "text/text_doc.h"

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
