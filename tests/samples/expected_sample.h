// Reading a sample's .expected.tsv: the values the PostgreSQL server gave for one dumped table.
#pragma once

#include <optional>
#include <string>
#include <vector>

// One cell: the server's text for the value, or nothing for SQL NULL.
using ServerValue = std::optional<std::string>;

// The file holds, after '#' comment lines, tab-separated lines keyed by their first field:
//   table    the table as the server quotes it, e.g. sales."Order Lines"
//   rows     the server's row count
//   columns  each column's name as the server quotes it
//   row      one line per row in dump order: each value in its output form
// Every text is a JSON string literal (null for SQL NULL), so tabs, line breaks and backslashes in
// values cannot be confused with the file's own separators.
struct ExpectedSample {
    std::string table;
    long rows = -1;
    std::vector<std::string> columns;
    std::vector<std::vector<ServerValue>> cells;
};

// Reads the file at `path`. On failure returns false with a reason in *error.
bool read_expected_sample(const std::string &path, ExpectedSample *sample, std::string *error);

// Decodes one JSON string literal (or null) that makes up a whole field. Returns false when the
// field is not one.
bool parse_json_value(const std::string &field, ServerValue *value);
