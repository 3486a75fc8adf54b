// Fuzz target: a column of one kind built from the input's bytes (values in the server's forms,
// the same values in other forms, long values sharing long starts, damaged text, NULLs, missing
// fields), ordered ascending and descending, over all rows and over a subset. Every neighbour in
// each order is checked against a plain reference comparison (order_reference.h), ties in file
// order, and the field comparison the grid may use must agree with the reference. Then a table of
// up to four such columns, each of few values so that rows tie, is ordered by several keys, each
// either way, and checked the same way key by key.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/rows.h"
#include "document/viewer.h"
#include "fuzz_check.h"
#include "grid/cells.h"
#include "order/order.h"
#include "order_reference.h"

namespace {

const ColumnKind KINDS[] = {KIND_TEXT,      KIND_INTEGER,     KIND_NUMERIC, KIND_FLOAT,
                            KIND_BOOLEAN,   KIND_DATE,        KIND_TIME,    KIND_TIMETZ,
                            KIND_TIMESTAMP, KIND_TIMESTAMPTZ, KIND_JSON};

struct Input {
    const uint8_t *p;
    size_t n;
    uint8_t byte() {
        if (n == 0) return 0;
        --n;
        return *p++;
    }
    unsigned below(unsigned m) { return byte() % m; }
    uint64_t word() {
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v = v << 8 | byte();
        return v;
    }
};

std::string number(long long v, int width) {
    char text[32];
    snprintf(text, sizeof text, "%0*lld", width, v);
    return text;
}

// Digits from a pool of few, so that values share starts and differ late.
std::string digits(Input &in, unsigned count) {
    static const char pool[] = "0019";
    std::string s;
    for (unsigned i = 0; i < count; ++i)
        s += in.below(4) ? pool[in.below(4)] : char('0' + in.below(10));
    return s;
}

std::string integer_text(Input &in) {
    switch (in.below(6)) {
    case 0: return std::to_string(static_cast<int64_t>(in.word()));
    case 1: return in.below(2) ? "9223372036854775807" : "-9223372036854775808";
    case 2: return "+" + std::to_string(in.below(50));
    // Twenty digits, about 2^64: no value, however the digits would wrap in 64 bits.
    case 3: return (in.below(2) ? "-" : "") + std::string("18446744073709551") + digits(in, 3);
    default: return std::to_string(static_cast<int>(in.below(600)) - 300);
    }
}

std::string decimal_text(Input &in, bool floating) {
    static const char *const specials[] = {"NaN",  "Infinity", "-Infinity", "inf",
                                           "-inf", "nan",      "+Infinity", "-0"};
    unsigned form = in.below(10);
    if (form == 0) return specials[in.below(8)];
    if (floating && form == 1) {
        double d;
        uint64_t bits = in.word();
        memcpy(&d, &bits, sizeof d);
        if (d != d) return "NaN";
        char text[40];
        snprintf(text, sizeof text, in.below(2) ? "%.17g" : "%g", d);
        return text;
    }
    std::string s = in.below(3) == 0 ? "-" : "";
    s += digits(in, 1 + in.below(24));
    if (in.below(2)) s += "." + digits(in, in.below(24));
    if (in.below(6) == 0) s += (in.below(2) ? "e-" : "e") + std::to_string(in.below(40));
    return s;
}

std::string date_text(Input &in) {
    static const int years[] = {1,    2,    4,    5,     44,     1900,   1999,
                                2000, 2024, 9999, 10000, 294276, 5874897};
    long long y = in.below(3) ? years[in.below(13)] : 1 + in.below(250) * 13;
    int m = 1 + in.below(12), length[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int d = 1 + in.below(static_cast<unsigned>(length[m - 1]));
    return number(y, 4) + "-" + number(m, 2) + "-" + number(d, 2);
}

std::string time_text(Input &in) {
    if (in.below(16) == 0) return "24:00:00";
    std::string s = number(in.below(24), 2) + ":" + number(in.below(4) * 15, 2) + ":" +
                    number(in.below(3) * 29, 2);
    if (in.below(2)) s += "." + digits(in, 1 + in.below(8));
    // A seventh digit and more where rounding is closest to a tie, past the fifteenth too.
    static const char *const near_ties[] = {"5", "50", "49999999", "5000000000000001", "1"};
    if (s.find('.') != std::string::npos && in.below(4) == 0) s += near_ties[in.below(5)];
    return s;
}

std::string offset_text(Input &in) {
    std::string s = (in.below(2) ? "+" : "-") + number(in.below(16), 2);
    if (in.below(2)) s += ":" + number(in.below(4) * 15, 2);
    if (in.below(4) == 0) s += ":" + number(in.below(60), 2);
    return s;
}

std::string text_value(Input &in, const std::string &shared) {
    static const char *const pieces[] = {"a",   "b",    "y",     "A",     " ",        "\\t",
                                         "\\n", "\\\\", "\\x41", "\\101", "\xC3\xA9", "\\b",
                                         "\\",  "z",    "\\x7",  "\\7",   "{",        "\\N"};
    std::string s = in.below(3) == 0 ? shared : "";
    for (unsigned count = in.below(12); count > 0; --count) s += pieces[in.below(18)];
    return s;
}

// A value as the server writes it, for the kind.
std::string value_text(Input &in, ColumnKind kind, const std::string &shared) {
    switch (kind) {
    case KIND_TEXT:
    case KIND_JSON: return text_value(in, shared);
    case KIND_INTEGER: return integer_text(in);
    case KIND_NUMERIC: return decimal_text(in, false);
    case KIND_FLOAT: return decimal_text(in, true);
    case KIND_BOOLEAN: return in.below(2) ? "t" : "f";
    case KIND_DATE:
        if (in.below(12) == 0) return in.below(2) ? "infinity" : "-infinity";
        return date_text(in) + (in.below(4) == 0 ? " BC" : "");
    case KIND_TIME: return time_text(in);
    case KIND_TIMETZ: return time_text(in) + offset_text(in);
    case KIND_TIMESTAMP:
    case KIND_TIMESTAMPTZ: {
        if (in.below(12) == 0) return in.below(2) ? "infinity" : "-infinity";
        std::string s = date_text(in) + " " + time_text(in);
        if (kind == KIND_TIMESTAMPTZ) s += offset_text(in);
        return s + (in.below(4) == 0 ? " BC" : "");
    }
    }
    return "";
}

// The same value written another way, where the kind has one.
std::string other_form(Input &in, ColumnKind kind, std::string s) {
    if (kind == KIND_TEXT || kind == KIND_JSON) {
        for (char &c : s) {
            if (c >= 'a' && c <= 'z') {
                char escape[8];
                snprintf(escape, sizeof escape, in.below(2) ? "\\x%02x" : "\\%03o", c);
                size_t at = static_cast<size_t>(&c - s.data());
                return s.substr(0, at) + escape + s.substr(at + 1);
            }
        }
        return s;
    }
    if (kind == KIND_NUMERIC || kind == KIND_FLOAT) {
        if (s.find_first_of("eEnN") != std::string::npos) return s;
        return s.find('.') == std::string::npos ? s + ".0" : s + "0";
    }
    if (kind == KIND_INTEGER) return s[0] == '-' || s[0] == '+' ? s : "+" + s;
    if (kind == KIND_TIME && s.find('.') == std::string::npos) return s + ".000";
    return s;
}

// Field text with no byte that would split or end its line.
std::string damaged_text(Input &in) {
    std::string s;
    for (unsigned count = in.below(16); count > 0; --count) {
        char c = static_cast<char>(in.byte());
        s += c == '\t' || c == '\n' || c == '\0' ? '?' : c;
    }
    return s;
}

// One column of rows built from the input: each line "<row>\t<fillers><field>", or "<row>" alone
// for a missing field, where the fillers are the same number of fields of any length on every row
// (so that the sorted field may lie far into a long line).
struct Column {
    ColumnKind kind;
    int32_t col;
    std::vector<std::string> lines;
    std::vector<bool> present;
    std::vector<std::string> fields;
};

Column build_column(Input &in) {
    Column column;
    column.kind = KINDS[in.below(11)];
    int32_t fillers = in.below(4) == 0 ? static_cast<int32_t>(in.below(6)) : 0;
    column.col = 1 + fillers;
    std::string shared(in.below(4) == 0 ? 40 + in.below(200) : in.below(20), 'y');
    for (size_t row = 0; in.n > 0 && row < 400; ++row) {
        std::string field;
        bool present = true;
        unsigned op = in.below(12);
        if (op == 0) {
            field = "\\N";
        } else if (op <= 2 && !column.fields.empty()) {
            field = column.fields[in.byte() % column.fields.size()];
            if (op == 2) field = other_form(in, column.kind, field);
        } else if (op == 3) {
            field = damaged_text(in);
        } else if (op == 4 && in.below(4) == 0) {
            present = false;
        } else {
            field = value_text(in, column.kind, shared);
        }
        column.fields.push_back(field);
        column.present.push_back(present);
        std::string line = std::to_string(row);
        for (int32_t f = 0; f < fillers && present; ++f)
            line += "\t" + std::string(in.below(4) == 0 ? in.below(70) : in.below(8), 'f');
        column.lines.push_back(line + (present ? "\t" + field : ""));
    }
    return column;
}

// The rows as the document holds them: lines one after another, each ended by its line feed but
// the last, with the row index over them.
struct Document {
    std::string buf;
    Viewer v{};
    explicit Document(const Column &column) {
        for (size_t i = 0; i < column.lines.size(); ++i)
            buf += column.lines[i] + (i + 1 < column.lines.size() ? "\n" : "");
        row_index_init(&v.rows, static_cast<int64_t>(column.lines.size()) + 1);
        size_t at = 0;
        int64_t written = 0;
        for (const std::string &line : column.lines) {
            row_index_push(&v.rows, &written, buf.data() + at);
            at += line.size() + 1;
        }
        row_index_push(&v.rows, &written, buf.data() + buf.size() + 1);
        v.row_count = static_cast<int32_t>(column.lines.size());
        v.col_count = 2;
    }
    ~Document() { row_index_free(&v.rows); }
    Document(const Document &) = delete;
    Document &operator=(const Document &) = delete;
};

int reference(const Column &c, int32_t a, int32_t b) {
    const std::string &x = c.fields[static_cast<size_t>(a)], &y = c.fields[static_cast<size_t>(b)];
    return order_reference::compare(
        c.kind, c.present[static_cast<size_t>(a)] ? x.data() : nullptr, x.size(),
        c.present[static_cast<size_t>(b)] ? y.data() : nullptr, y.size());
}

// `order` holds exactly the rows of `in`, each neighbour ordered (ascending: the reference puts it
// no later; descending: no earlier), ties in file order.
void check_order(const Column &c, const std::vector<int32_t> &in, const std::vector<int32_t> &order,
                 int direction) {
    std::vector<int32_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    FUZZ_CHECK(sorted == in);
    for (size_t i = 0; i + 1 < order.size(); ++i) {
        int r = reference(c, order[i], order[i + 1]) * direction;
        FUZZ_CHECK(r < 0 || (r == 0 && order[i] < order[i + 1]));
    }
}

void check_orders(const Column &c, const Document &d, const std::vector<int32_t> &in, bool whole) {
    int32_t n = static_cast<int32_t>(in.size());
    std::vector<int32_t> rows = in;
    FUZZ_CHECK(order_rows(&d.v, c.col, c.kind, whole ? nullptr : rows.data(), n, rows.data()) == 1);
    check_order(c, in, rows, 1);
    std::vector<int32_t> ascending = rows;
    order_descending(&d.v, c.col, c.kind, rows.data(), n);
    check_order(c, in, rows, -1);
    order_descending(&d.v, c.col, c.kind, rows.data(), n);
    FUZZ_CHECK(rows == ascending);
}

// A table of `columns` columns of few values each: line r is "<r>\t<v1>\t<v2>...", a field missing
// only at a line's end.
struct Table {
    std::vector<ColumnKind> kinds;
    std::vector<std::vector<std::string>> fields; // [col][row]
    std::vector<size_t> widths;                   // fields present after the row number
    std::vector<std::string> lines;
};

Table build_table(Input &in, size_t rows) {
    Table t;
    const size_t columns = 1 + in.below(4);
    std::vector<std::vector<std::string>> pools(columns);
    for (size_t c = 0; c < columns; ++c) {
        t.kinds.push_back(KINDS[in.below(11)]);
        for (unsigned v = 1 + in.below(5); v > 0; --v) {
            std::string value = value_text(in, t.kinds[c], "");
            pools[c].push_back(value);
            if (in.below(3) == 0) pools[c].push_back(other_form(in, t.kinds[c], value));
        }
        pools[c].push_back("\\N");
        if (in.below(4) == 0) pools[c].push_back(damaged_text(in));
    }
    t.fields.resize(columns);
    for (size_t r = 0; r < rows; ++r) {
        size_t width = in.below(16) == 0 ? in.below(static_cast<unsigned>(columns)) : columns;
        std::string line = std::to_string(r);
        for (size_t c = 0; c < columns; ++c) {
            t.fields[c].push_back(c < width ? pools[c][in.byte() % pools[c].size()] : "");
            if (c < width) line += "\t" + t.fields[c].back();
        }
        t.widths.push_back(width);
        t.lines.push_back(line);
    }
    return t;
}

// Orders the table by keys the input picks (a column may come twice) and checks each neighbour
// key by key against the reference, rows equal in every key in file order.
void check_keys(Input &in, const Table &t, const Document &d, const std::vector<int32_t> &rows,
                bool whole) {
    const int nkeys = 1 + static_cast<int>(in.below(4));
    std::vector<OrderKey> keys;
    std::vector<ColumnKind> kinds;
    for (int k = 0; k < nkeys; ++k) {
        size_t c = in.below(static_cast<unsigned>(t.kinds.size()));
        keys.push_back({static_cast<int32_t>(1 + c), in.below(2) ? SORT_DESC : SORT_ASC});
        kinds.push_back(t.kinds[c]);
    }
    std::vector<int32_t> out = rows;
    const int32_t n = static_cast<int32_t>(rows.size());
    FUZZ_CHECK(order_rows_by(&d.v, keys.data(), nkeys, kinds.data(), whole ? nullptr : out.data(),
                             n, out.data()) == 1);
    std::vector<int32_t> sorted = out;
    std::sort(sorted.begin(), sorted.end());
    FUZZ_CHECK(sorted == rows);
    auto field = [&](size_t c, int32_t r, size_t *len) -> const char * {
        const std::string &f = t.fields[c][static_cast<size_t>(r)];
        *len = f.size();
        return c < t.widths[static_cast<size_t>(r)] ? f.data() : nullptr;
    };
    for (size_t i = 0; i + 1 < out.size(); ++i) {
        int c = 0;
        for (int k = 0; k < nkeys && c == 0; ++k) {
            size_t col = static_cast<size_t>(keys[static_cast<size_t>(k)].col - 1), alen, blen;
            const char *a = field(col, out[i], &alen), *b = field(col, out[i + 1], &blen);
            c = order_reference::compare(kinds[static_cast<size_t>(k)], a, alen, b, blen);
            if (keys[static_cast<size_t>(k)].dir == SORT_DESC) c = -c;
        }
        FUZZ_CHECK(c < 0 || (c == 0 && out[i] < out[i + 1]));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Input in = {data, size};
    Column column = build_column(in);
    Document document(column);
    std::vector<int32_t> all(column.fields.size()), some;
    for (size_t r = 0; r < all.size(); ++r) {
        all[r] = static_cast<int32_t>(r);
        if (data[r % size] & 1) some.push_back(static_cast<int32_t>(r));
    }
    check_orders(column, document, all, true);
    check_orders(column, document, some, false);

    // The field comparison, over pairs the input picks.
    for (size_t i = 0; i + 1 < column.fields.size(); i += 3) {
        int32_t a = static_cast<int32_t>(i), b = static_cast<int32_t>(data[i % size] % all.size());
        size_t alen = 0, blen = 0;
        const RowLine la = row_line(&document.v, a), lb = row_line(&document.v, b);
        const char *x = field_at(la.start, la.end, column.col, &alen);
        const char *y = field_at(lb.start, lb.end, column.col, &blen);
        int c = order_compare_fields(column.kind, x, alen, y, blen);
        FUZZ_CHECK((c > 0) - (c < 0) == reference(column, a, b));
    }

    // Several keys, over a table of as many rows, from the input read again.
    Input again = {data, size};
    Table table = build_table(again, all.size());
    Column lines;
    lines.lines = table.lines;
    Document keyed(lines);
    check_keys(again, table, keyed, all, true);
    check_keys(again, table, keyed, some, false);
    return 0;
}
