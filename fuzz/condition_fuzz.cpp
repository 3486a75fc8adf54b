// Fuzz target: a table of three columns of kinds the input picks (names that need quotes among
// them; values in the server's forms, NULLs, damaged text, missing fields) and a condition tree
// built from the input, written out as the filter bar would take it (blanks, keyword case, quotes
// and parentheses as the input picks). The viewer must read the text, and on every row agree with
// a plain evaluation of the tree (condition_reference.h); the condition as the status line names
// it must read back to the same rows. Then the text is damaged at a place the input picks: the
// viewer must read it or refuse it with a position inside it, and never fail otherwise.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "base/strbuf.h"
#include "condition_reference.h"
#include "document/viewer.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "query/condition.h"

namespace {

using namespace condition_reference;

struct Input {
    const uint8_t *p;
    size_t n;
    uint8_t byte() {
        if (n == 0) return 0;
        --n;
        return *p++;
    }
    unsigned below(unsigned m) { return byte() % m; }
};

struct Kind {
    ColumnKind kind;
    const char *type;
    std::vector<std::string> values; // in the server's forms
};

const Kind KINDS[] = {
    {KIND_TEXT, "text", {"a", "b", "ab", "", "A", "a\\tb", "\\\\", "é", "É", "a%", "_x", "\\N"}},
    {KIND_INTEGER, "bigint", {"0", "1", "-1", "10", "9", "-9223372036854775808", "100"}},
    {KIND_NUMERIC, "numeric", {"1.0", "1.00", "-0.5", "NaN", "Infinity", "-Infinity", "0", "2.5"}},
    {KIND_FLOAT, "double precision", {"0.1", "-0", "0", "NaN", "Infinity", "1e+100", "-2.5"}},
    {KIND_BOOLEAN, "boolean", {"t", "f"}},
    {KIND_DATE, "date", {"2024-01-01", "0044-03-15 BC", "infinity", "-infinity", "1999-12-31"}},
    {KIND_TIMESTAMPTZ,
     "timestamp with time zone",
     {"2024-01-01 00:00:00+00", "2024-01-01 01:00:00+01", "2023-12-31 23:59:59.5-05", "infinity"}},
};
const size_t KIND_COUNT = sizeof KINDS / sizeof KINDS[0];

// The header's names, as written and as a condition may name them.
const char *const HEADERS[3] = {"a", "\"B c\"", "\"d\"\"q\""};
const char *const UNQUOTED[3] = {"A", "B c", "d\"q"};

// A literal for a column of this kind: one of its values (or a near one), as typed.
Value literal(Input &in, const Kind &k) {
    const std::string &v = k.values[in.below(static_cast<unsigned>(k.values.size()))];
    switch (k.kind) {
    case KIND_INTEGER:
        if (in.below(4) == 0) return {v + ".5", true};
        return {v, true};
    case KIND_NUMERIC:
    case KIND_FLOAT:
        if (v.find_first_of("NI") != std::string::npos || in.below(3) == 0) return {v, false};
        return {v, true};
    case KIND_TEXT: {
        std::string s = v == "\\N" ? "N" : v == "a\\tb" ? "a\tb" : v == "\\\\" ? "\\" : v;
        if (in.below(4) == 0) s += "'";
        return {s, false};
    }
    default: return {v, false};
    }
}

std::string quoted(const Value &v) {
    if (v.number) return v.text;
    std::string out = "'";
    for (char c : v.text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

std::string keyword(Input &in, const char *word) {
    std::string w = word;
    if (in.below(3) == 0)
        for (char &c : w) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return w;
}

std::string blank(Input &in) {
    return in.below(6) == 0 ? "  " : " ";
}

// A tree and its text.
std::unique_ptr<Node> build(Input &in, const std::vector<int> &kinds, int depth,
                            std::string *text) {
    auto node = std::make_unique<Node>();
    const unsigned form = depth < 3 ? in.below(8) : 7;
    if (form < 2) {
        node->kind = form == 0 ? Node::AND : Node::OR;
        std::string a, b;
        node->a = build(in, kinds, depth + 1, &a);
        node->b = build(in, kinds, depth + 1, &b);
        // Parentheses where precedence needs them, and now and then where it does not.
        const bool wrap = node->kind == Node::AND || in.below(3) == 0;
        auto part = [&](const Node &n, const std::string &t) {
            const bool needs = node->kind == Node::AND && n.kind == Node::OR;
            return needs || (wrap && in.below(4) == 0) ? "(" + t + ")" : t;
        };
        *text = part(*node->a, a) + blank(in) + keyword(in, form == 0 ? "AND" : "OR") + blank(in) +
                part(*node->b, b);
        return node;
    }
    if (form == 2) {
        node->kind = Node::NOT;
        std::string a;
        node->a = build(in, kinds, depth + 1, &a);
        const bool needs = node->a->kind == Node::AND || node->a->kind == Node::OR;
        *text = keyword(in, "NOT") + blank(in) + (needs ? "(" + a + ")" : a);
        return node;
    }
    node->kind = Node::TEST;
    node->col = static_cast<int>(in.below(3));
    const Kind &k = KINDS[kinds[static_cast<size_t>(node->col)]];
    std::string column = in.below(2) ? HEADERS[node->col] : UNQUOTED[node->col];
    static const char *const symbols[] = {"=", "<>", "<", "<=", ">", ">=", "!="};
    static const Op ops[] = {Op::EQ, Op::NE, Op::LT, Op::LE, Op::GT, Op::GE, Op::NE};
    const unsigned which = in.below(13);
    const std::string no = in.below(3) == 0 ? keyword(in, "NOT") + " " : "";
    if (which < 7) {
        node->op = ops[which];
        node->values.push_back(literal(in, k));
        *text = column + blank(in) + symbols[which] + blank(in) + quoted(node->values[0]);
    } else if (which < 9) {
        node->op = which == 7 ? Op::IS_NULL : Op::NOT_NULL;
        *text = column + " " + keyword(in, which == 7 ? "IS NULL" : "IS NOT NULL");
    } else if (which < 11) {
        node->op = which == 9 ? Op::LIKE : Op::ILIKE;
        node->negated = !no.empty();
        static const char *const pieces[] = {"%", "_", "a", "B", "é", "\\%", "\\_", "1", "-", "0"};
        std::string pattern;
        for (unsigned i = in.below(5); i > 0; --i) pattern += pieces[in.below(10)];
        node->values.push_back({pattern, false});
        *text = column + " " + no + keyword(in, which == 9 ? "LIKE" : "ILIKE") + " " +
                quoted(node->values[0]);
    } else if (which == 11) {
        node->op = Op::BETWEEN;
        node->negated = !no.empty();
        node->values.push_back(literal(in, k));
        node->values.push_back(literal(in, k));
        *text = column + " " + no + keyword(in, "BETWEEN") + " " + quoted(node->values[0]) + " " +
                keyword(in, "AND") + " " + quoted(node->values[1]);
    } else {
        node->op = Op::IN;
        node->negated = !no.empty();
        *text = column + " " + no + keyword(in, "IN") + " (";
        for (unsigned i = 1 + in.below(3); i > 0; --i) {
            node->values.push_back(literal(in, k));
            *text += quoted(node->values.back()) + (i > 1 ? "," + blank(in) : ")");
        }
    }
    return node;
}

// The rows the viewer's condition holds for, as marks.
std::vector<bool> marks(const Condition *c, const Viewer *v) {
    std::vector<uint8_t> bits(static_cast<size_t>(v->row_count) / 8 + 1);
    const int64_t count = condition_mark(c, v, nullptr, v->row_count, bits.data());
    std::vector<bool> out;
    int64_t set = 0;
    for (int32_t r = 0; r < v->row_count; ++r) {
        out.push_back(bits[static_cast<size_t>(r) / 8] & (1u << (r % 8)));
        FUZZ_CHECK(out.back() == condition_holds(c, v, r));
        set += out.back();
    }
    FUZZ_CHECK(set == count);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Input in = {data, size};
    std::vector<int> kinds;
    std::vector<Column> columns;
    std::string sql = "CREATE TABLE t (\n", lines;
    for (int c = 0; c < 3; ++c) {
        kinds.push_back(static_cast<int>(in.below(KIND_COUNT)));
        columns.push_back({KINDS[kinds.back()].kind, {}});
        sql += std::string("    ") + HEADERS[c] + " " + KINDS[kinds.back()].type +
               (c < 2 ? ",\n" : "\n);\n");
    }
    const size_t rows = 1 + in.below(40);
    for (size_t r = 0; r < rows; ++r) {
        const size_t width = in.below(10) == 0 ? 1 + in.below(2) : 3;
        for (size_t c = 0; c < 3; ++c) {
            const Kind &k = KINDS[kinds[c]];
            std::string field;
            const unsigned pick = in.below(12);
            if (pick == 0)
                field = "\\N";
            else if (pick == 1)
                field = "x?";
            else
                field = k.values[in.below(static_cast<unsigned>(k.values.size()))];
            if (c < width) {
                lines += (c ? "\t" : "") + field;
                columns[c].fields.push_back(field);
            } else {
                columns[c].fields.push_back(std::nullopt);
            }
        }
        lines += "\n";
    }
    std::string text;
    std::unique_ptr<Node> tree = build(in, kinds, 0, &text);
    const std::string dump = "KMZTAB01\x01[SQL]\n" + sql +
                             "\x01[DATA]\nCOPY t (a, \"B c\", \"d\"\"q\") FROM stdin;\n" + lines +
                             "\\.\n";
    Viewer v;
    if (!load_fuzz_input(&v, "condition", reinterpret_cast<const uint8_t *>(dump.data()),
                         dump.size()))
        return 0;
    FUZZ_CHECK(v.row_count == static_cast<int32_t>(rows));

    FUZZ_CHECK(condition_looks_like(&v, text.data(), text.size()) || text.rfind("NOT", 0) == 0 ||
               text.rfind("not", 0) == 0 || text[0] == '(');
    Condition *c = nullptr;
    ConditionError error;
    if (!condition_parse(&v, text.data(), text.size(), &c, &error)) {
        fprintf(stderr, "%s: %s at %d\n", text.c_str(), error.message, error.position);
        FUZZ_CHECK(!"a condition built from the grammar must read");
    }
    const std::vector<bool> got = marks(c, &v);
    for (size_t r = 0; r < rows; ++r) {
        if (got[r] != (eval(*tree, columns, r) == T))
            fprintf(stderr, "%s: row %zu\n", text.c_str(), r);
        FUZZ_CHECK(got[r] == (eval(*tree, columns, r) == T));
    }
    StrBuf named;
    FUZZ_CHECK(sb_init(&named));
    condition_text(c, &v, &named);
    Condition *again = nullptr;
    FUZZ_CHECK(condition_parse(&v, named.data, named.len, &again, &error) == 1);
    FUZZ_CHECK(marks(again, &v) == got);
    condition_free(again);
    condition_free(c);
    sb_drop(&named);

    // The text damaged: a byte of the input's put in, or a stretch cut out.
    std::string damaged = text;
    const size_t at = in.below(static_cast<unsigned>(text.size()) + 1);
    if (in.below(2))
        damaged.insert(at, 1, static_cast<char>(in.byte()));
    else
        damaged.erase(at, in.below(4));
    if (condition_parse(&v, damaged.data(), damaged.size(), &c, &error)) {
        marks(c, &v);
        condition_free(c);
    } else {
        FUZZ_CHECK(c == nullptr);
        FUZZ_CHECK(error.position >= 1 &&
                   static_cast<size_t>(error.position) <= damaged.size() + 1);
        FUZZ_CHECK(error.message[0] != '\0');
    }
    viewer_free_blocks(&v);
    return 0;
}
