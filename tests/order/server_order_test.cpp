// Every fixture PostgreSQL answered (tools/order_fixtures/make_order_fixtures.sh): its rows as a
// dump, ordered by the viewer ascending and descending, must come out exactly as the server
// ordered them with ORDER BY v ASC, id and ORDER BY v DESC, id.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "document/column_types.h"
#include "grid/cells.h"
#include "order/order.h"
#include "order/time_key.h"
#include "temp_dump.h"

namespace {

const std::string kFixtures = TAVRIN_ORDER_FIXTURES;

// One fixture: the column's type as pg_dump writes it, the server's orders of the ids, and the rows
// ("id<TAB>v" as COPY writes them).
struct ServerOrder {
    std::string type;
    std::vector<int> asc, desc;
    std::string rows;
};

std::vector<int> ids_of(const std::string &text) {
    std::vector<int> ids;
    std::istringstream in(text);
    for (int id; in >> id;) ids.push_back(id);
    return ids;
}

bool read_fixture(const std::string &path, ServerOrder *fixture) {
    std::ifstream in(path, std::ios::binary);
    bool rows = false;
    for (std::string line; std::getline(in, line);) {
        if (rows) {
            fixture->rows += line + "\n";
        } else if (line == "rows") {
            rows = true;
        } else if (!line.starts_with("#")) {
            size_t tab = line.find('\t');
            std::string key = line.substr(0, tab), value = line.substr(tab + 1);
            if (key == "type") fixture->type = value;
            if (key == "asc") fixture->asc = ids_of(value);
            if (key == "desc") fixture->desc = ids_of(value);
        }
    }
    return rows && !fixture->type.empty();
}

// What each fixture's type must read as: the fixture's name is the type's.
const std::map<std::string, ColumnKind> kKinds = {
    {"smallint", KIND_INTEGER},   {"integer", KIND_INTEGER},     {"bigint", KIND_INTEGER},
    {"numeric", KIND_NUMERIC},    {"real", KIND_FLOAT},          {"double", KIND_FLOAT},
    {"boolean", KIND_BOOLEAN},    {"date", KIND_DATE},           {"time", KIND_TIME},
    {"timetz", KIND_TIMETZ},      {"timestamp", KIND_TIMESTAMP}, {"timestamptz", KIND_TIMESTAMPTZ},
    {"text", KIND_TEXT},          {"varchar", KIND_TEXT},        {"char", KIND_TEXT},
    {"name", KIND_TEXT},          {"uuid", KIND_TEXT},           {"bytea", KIND_TEXT},
    {"integer_array", KIND_TEXT}, {"text_array", KIND_TEXT},     {"json", KIND_JSON},
    {"jsonb", KIND_JSON},
};

std::vector<std::string> fixture_names() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator(kFixtures, ec))
        if (entry.path().extension() == ".tsv") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ServerOrderFixture : public testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(read_fixture(kFixtures + "/" + GetParam() + ".tsv", &fixture));
        std::string sql =
            "CREATE TABLE public.o (\n    id integer NOT NULL,\n    v " + fixture.type + "\n);\n";
        dump = std::make_unique<LoadedViewer>(
            magic() + section("SQL", sql) +
            section("DATA", "COPY public.o (id, v) FROM stdin;\n" + fixture.rows + "\\.\n"));
        ASSERT_EQ(dump->loaded, 1);
        ASSERT_EQ(static_cast<size_t>(dump->v.row_count), fixture.asc.size());
        ASSERT_EQ(fixture.desc.size(), fixture.asc.size());
        ColumnType types[2];
        read_column_types(dump->v.sql, dump->v.sql_len, dump->v.copy_line, dump->v.col_names, 2,
                          types);
        kind = types[1].kind;
    }

    int id_of_row(int32_t row) const {
        RowLine line = row_line(&dump->v, row);
        return std::atoi(std::string(line.start, field_length(line.start, line.end)).c_str());
    }

    std::vector<int> ids(const std::vector<int32_t> &rows) const {
        std::vector<int> out;
        for (int32_t r : rows) out.push_back(id_of_row(r));
        return out;
    }

    ServerOrder fixture;
    std::unique_ptr<LoadedViewer> dump;
    ColumnKind kind = KIND_TEXT;
};

TEST_P(ServerOrderFixture, TypeReadsAsItsKind) {
    auto expected = kKinds.find(GetParam());
    ASSERT_NE(expected, kKinds.end()) << "a fixture without an expected kind";
    EXPECT_EQ(kind, expected->second) << fixture.type;
}

TEST_P(ServerOrderFixture, AscendingThenDescendingThenAscendingAgainAreTheServersOrders) {
    std::vector<int32_t> rows(static_cast<size_t>(dump->v.row_count), -1);
    ASSERT_EQ(order_rows(&dump->v, 1, kind, nullptr, dump->v.row_count, rows.data()), 1);
    EXPECT_EQ(ids(rows), fixture.asc);
    order_descending(&dump->v, 1, kind, rows.data(), dump->v.row_count);
    EXPECT_EQ(ids(rows), fixture.desc);
    order_descending(&dump->v, 1, kind, rows.data(), dump->v.row_count);
    EXPECT_EQ(ids(rows), fixture.asc);
}

// Rows already narrowed (every other one here, in place) keep the server's relative order.
TEST_P(ServerOrderFixture, ASubsetOfRowsKeepsTheServersRelativeOrder) {
    std::vector<int32_t> rows;
    std::vector<int> asc, desc;
    for (int32_t r = 0; r < dump->v.row_count; r += 2) rows.push_back(r);
    auto in_subset = [&](int id) {
        for (int32_t r : rows)
            if (id_of_row(r) == id) return true;
        return false;
    };
    std::copy_if(fixture.asc.begin(), fixture.asc.end(), std::back_inserter(asc), in_subset);
    std::copy_if(fixture.desc.begin(), fixture.desc.end(), std::back_inserter(desc), in_subset);
    int32_t n = static_cast<int32_t>(rows.size());
    ASSERT_EQ(order_rows(&dump->v, 1, kind, rows.data(), n, rows.data()), 1);
    EXPECT_EQ(ids(rows), asc);
    order_descending(&dump->v, 1, kind, rows.data(), n);
    EXPECT_EQ(ids(rows), desc);
}

// Neighbours in the server's ascending order compare as the server saw them: equal when the
// descending order keeps them in the same order (only ties do, by id), else the first lower.
TEST_P(ServerOrderFixture, FieldComparisonAgreesWithTheServerOnEveryNeighbour) {
    std::map<int, size_t> place_desc;
    for (size_t i = 0; i < fixture.desc.size(); ++i) place_desc[fixture.desc[i]] = i;
    std::map<int, int32_t> row_of_id;
    for (int32_t r = 0; r < dump->v.row_count; ++r) row_of_id[id_of_row(r)] = r;
    for (size_t i = 0; i + 1 < fixture.asc.size(); ++i) {
        int a = fixture.asc[i], b = fixture.asc[i + 1];
        size_t alen = 0, blen = 0;
        RowLine la = row_line(&dump->v, row_of_id[a]), lb = row_line(&dump->v, row_of_id[b]);
        const char *fa = field_at(la.start, la.end, 1, &alen);
        const char *fb = field_at(lb.start, lb.end, 1, &blen);
        int c = order_compare_fields(kind, fa, alen, fb, blen);
        if (place_desc[a] < place_desc[b])
            EXPECT_EQ(c, 0) << "ids " << a << " and " << b;
        else
            EXPECT_LT(c, 0) << "ids " << a << " and " << b;
        EXPECT_EQ(order_compare_fields(kind, fb, blen, fa, alen), -c) << "ids " << b << ", " << a;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ServerOrderFixture, testing::ValuesIn(fixture_names()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return info.param;
                         });

// How the server reads fractions of a second beyond microseconds (fractions.readings, made with
// the order fixtures): each text it takes reads as the same instant as the server's own text of
// it, and each it refuses is no value here either, so that it sorts after the values.
TEST(ServerOrderFixtures, FractionsBeyondMicrosecondsReadAsTheServerReadsThem) {
    std::ifstream in(kFixtures + "/fractions.readings", std::ios::binary);
    ASSERT_TRUE(in.good());
    int readings = 0, refused = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
        const std::string type = line.substr(0, tab1);
        const std::string given = line.substr(tab1 + 1, tab2 - tab1 - 1),
                          server = line.substr(tab2 + 1);
        auto read = [&type](const std::string &text, int64_t *us, int32_t *zone) {
            *zone = 0;
            if (type == "time") return time_read(text.data(), text.size(), us);
            if (type == "timetz") return timetz_read(text.data(), text.size(), us, zone);
            return timestamp_read(text.data(), text.size(), type == "timestamptz", us);
        };
        int64_t got = 0, want = 0;
        int32_t got_zone = 0, want_zone = 0;
        ++readings;
        if (server == "ERROR") {
            ++refused;
            EXPECT_EQ(read(given, &got, &got_zone), 0) << type << " " << given;
            continue;
        }
        ASSERT_EQ(read(server, &want, &want_zone), 1) << type << " " << server;
        ASSERT_EQ(read(given, &got, &got_zone), 1) << type << " " << given;
        EXPECT_EQ(got, want) << type << " " << given << " is " << server;
        EXPECT_EQ(got_zone, want_zone) << type << " " << given;
    }
    EXPECT_EQ(readings, 128);
    EXPECT_GT(refused, 0);
}

TEST(ServerOrderFixtures, EveryTypeIsThere) {
    EXPECT_EQ(fixture_names().size(), kKinds.size()) << kFixtures;
}

} // namespace

namespace {

// The orders by several keys (fixtures/keys/keys.tsv): each column's type, each list of keys with
// the server's order of the ids, and the rows.
struct ServerKeyOrders {
    std::vector<std::pair<std::string, std::string>> columns; // name, type
    std::vector<std::pair<std::string, std::vector<int>>> orders;
    std::string rows;
};

bool read_key_orders(const std::string &path, ServerKeyOrders *out) {
    std::ifstream in(path, std::ios::binary);
    bool rows = false;
    for (std::string line; std::getline(in, line);) {
        if (rows) {
            out->rows += line + "\n";
            continue;
        }
        if (line == "rows") rows = true;
        if (line.starts_with("#") || rows) continue;
        std::vector<std::string> parts;
        std::istringstream fields(line);
        for (std::string part; std::getline(fields, part, '\t');) parts.push_back(part);
        if (parts.size() != 3) return false;
        if (parts[0] == "column") out->columns.push_back({parts[1], parts[2]});
        if (parts[0] == "order") out->orders.push_back({parts[1], ids_of(parts[2])});
    }
    return rows && !out->columns.empty() && !out->orders.empty();
}

} // namespace

// Each ORDER BY of several keys the server answered, made by the viewer: column names and ASC or
// DESC read from the query's own text.
TEST(ServerOrderByKeys, EveryOrderIsTheServers) {
    ServerKeyOrders fixture;
    ASSERT_TRUE(read_key_orders(kFixtures + "/keys/keys.tsv", &fixture));
    std::string sql = "CREATE TABLE public.o (\n    id integer";
    std::string names = "id";
    for (const auto &[name, type] : fixture.columns) {
        sql += ",\n    " + name + " " + type;
        names += ", " + name;
    }
    LoadedViewer d(
        magic() + section("SQL", sql + "\n);\n") +
        section("DATA", "COPY public.o (" + names + ") FROM stdin;\n" + fixture.rows + "\\.\n"));
    ASSERT_EQ(d.loaded, 1);
    const int32_t cols = static_cast<int32_t>(fixture.columns.size()) + 1;
    std::vector<ColumnType> types(static_cast<size_t>(cols));
    read_column_types(d.v.sql, d.v.sql_len, d.v.copy_line, d.v.col_names, cols, types.data());
    for (const auto &[keys_text, expected] : fixture.orders) {
        std::vector<OrderKey> keys;
        std::vector<ColumnKind> kinds;
        std::istringstream list(keys_text);
        for (std::string key; std::getline(list, key, ',');) {
            std::istringstream words(key);
            std::string name, dir;
            words >> name >> dir;
            int32_t col = 0;
            while (col < cols && name != d.v.col_names[col]) ++col;
            ASSERT_LT(col, cols) << keys_text;
            keys.push_back({col, dir == "DESC" ? SORT_DESC : SORT_ASC});
            kinds.push_back(types[static_cast<size_t>(col)].kind);
        }
        std::vector<int32_t> rows(static_cast<size_t>(d.v.row_count), -1);
        ASSERT_EQ(order_rows_by(&d.v, keys.data(), static_cast<int>(keys.size()), kinds.data(),
                                nullptr, d.v.row_count, rows.data()),
                  1);
        std::vector<int> ids;
        for (int32_t r : rows) ids.push_back(std::atoi(row_at(d.v, r).c_str()));
        EXPECT_EQ(ids, expected) << "ORDER BY " << keys_text;
    }
}
