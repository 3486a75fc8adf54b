// Test support: the query fixtures the server wrote (tools/query_fixtures/make_query_fixtures.sh),
// read into their parts, and a one-column dump of their rows.
#pragma once

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "document/column_types.h"
#include "temp_dump.h"

const std::string kQueryFixtures = TAVRIN_QUERY_FIXTURES;

// A fixture: its "key<TAB>value" lines in order (the value may hold tabs), then its rows as
// "id<TAB>v" COPY lines.
struct QueryFixture {
    std::vector<std::pair<std::string, std::string>> lines;
    std::string rows;
    std::string value(const std::string &key) const {
        for (const auto &[k, v] : lines)
            if (k == key) return v;
        return "";
    }
};

inline bool read_query_fixture(const std::string &path, QueryFixture *out) {
    std::ifstream in(path, std::ios::binary);
    bool rows = false;
    for (std::string line; std::getline(in, line);) {
        if (rows) {
            out->rows += line + "\n";
        } else if (line == "rows") {
            rows = true;
        } else if (!line.starts_with("#")) {
            const size_t tab = line.find('\t');
            out->lines.push_back({line.substr(0, tab), line.substr(tab + 1)});
        }
    }
    return rows;
}

// The rows as a dump of public.o (id integer, v <type>), loaded (the loader reads the types).
struct FixtureDump {
    std::unique_ptr<LoadedViewer> dump;
    FixtureDump(const std::string &type, const std::string &rows) {
        dump = std::make_unique<LoadedViewer>(
            magic() +
            section("SQL",
                    "CREATE TABLE public.o (\n    id integer NOT NULL,\n    v " + type + "\n);\n") +
            section("DATA", "COPY public.o (id, v) FROM stdin;\n" + rows + "\\.\n"));
    }
    Viewer *viewer() { return &dump->v; }
    // The file row of id, and its field v as COPY wrote it.
    int32_t row_of(int id) const {
        for (int32_t r = 0; r < dump->v.row_count; ++r)
            if (std::atoi(row_at(dump->v, r).c_str()) == id) return r;
        return -1;
    }
    std::string field_of(int id) const {
        const std::string line = row_at(dump->v, row_of(id));
        return line.substr(line.find('\t') + 1);
    }
};
