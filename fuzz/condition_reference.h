// The condition fuzz target's reference: a condition as a tree the target builds itself, evaluated
// over whole values as plainly as possible (strings, SQL's three-valued logic spelled out, LIKE by
// recursion), apart from the viewer's parser, keys and matcher. Values compare as the order
// target's reference compares them (order_reference.h); floats as doubles.
#pragma once

#include <math.h>
#include <stdlib.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/column_types.h"
#include "escape_reference.h"
#include "order_reference.h"

namespace condition_reference {

enum class Op { EQ, NE, LT, LE, GT, GE, IS_NULL, NOT_NULL, LIKE, ILIKE, BETWEEN, IN };

// A value as typed: a number (bare) or a string's content.
struct Value {
    std::string text;
    bool number;
};

struct Node {
    enum Kind { AND, OR, NOT, TEST } kind;
    std::unique_ptr<Node> a, b;
    int col = 0;
    Op op = Op::EQ;
    bool negated = false;
    std::vector<Value> values;
};

// A column: its kind, and the fields of its rows (nullopt: the row lacks it).
struct Column {
    ColumnKind kind;
    std::vector<std::optional<std::string>> fields;
};

// SQL's truth values: false, true, unknown.
enum Truth { F, T, U };

inline Truth of(bool b) {
    return b ? T : F;
}

// A text as a COPY field holds it.
inline std::string escaped(const std::string &s) {
    std::string out;
    for (char c : s) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

// The code points of a UTF-8 text whose bytes are well formed or not: an ill-formed byte alone.
inline std::vector<uint32_t> chars(const std::string &s, bool fold) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        bool ok = i + n <= s.size();
        for (size_t k = 1; ok && k < n; ++k)
            ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        if (!ok) n = 1;
        uint32_t cp = n == 1 ? (c < 0x80 ? c : 0xFFFD) : c & (0x7F >> n);
        for (size_t k = 1; n > 1 && k < n; ++k) cp = cp << 6 | (s[i + k] & 0x3F);
        // Case folds as Unicode folds ASCII and Latin-1's capitals, the letters the target uses.
        if (fold && ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)))
            cp += 32;
        out.push_back(cp);
        i += n;
    }
    return out;
}

// LIKE by recursion over the pattern: % any run, _ one character, \ the next one as itself.
inline bool like(const std::vector<uint32_t> &t, size_t ti, const std::vector<uint32_t> &p,
                 size_t pi) {
    if (pi == p.size()) return ti == t.size();
    if (p[pi] == '%') {
        for (size_t k = ti; k <= t.size(); ++k)
            if (like(t, k, p, pi + 1)) return true;
        return false;
    }
    if (ti == t.size()) return false;
    if (p[pi] == '_') return like(t, ti + 1, p, pi + 1);
    const size_t at = p[pi] == '\\' && pi + 1 < p.size() ? pi + 1 : pi;
    return t[ti] == p[at] && like(t, ti + 1, p, at + 1);
}

// Whether the field is a value of the column's kind; its double for floats.
inline bool value_of(ColumnKind kind, const std::string &field, double *d) {
    if (!order_reference::is_value(kind, field)) return false;
    if (kind == KIND_FLOAT) {
        const auto dec = order_reference::read_decimal(field);
        *d = dec->rank == 6   ? NAN
             : dec->rank == 5 ? INFINITY
             : dec->rank == 1 ? -INFINITY
                              : strtod(field.c_str(), nullptr);
    }
    return true;
}

// The field against a value: -1, 0, 1.
inline int compare(ColumnKind kind, const std::string &field, double d, const Value &v) {
    if (kind == KIND_FLOAT) {
        const auto dec = order_reference::read_decimal(v.text);
        const double w = dec->rank == 6   ? NAN
                         : dec->rank == 5 ? INFINITY
                         : dec->rank == 1 ? -INFINITY
                                          : strtod(v.text.c_str(), nullptr);
        if (isnan(d) || isnan(w)) return isnan(d) && isnan(w) ? 0 : isnan(d) ? 1 : -1;
        return d < w ? -1 : d > w ? 1 : 0;
    }
    if (kind == KIND_INTEGER && v.number && !order_reference::read_integer(v.text))
        kind = KIND_NUMERIC;
    const std::string literal = kind == KIND_TEXT || kind == KIND_JSON ? escaped(v.text) : v.text;
    return order_reference::compare(kind, field.data(), field.size(), literal.data(),
                                    literal.size());
}

inline Truth test(const Node &n, const Column &c, size_t row) {
    const std::string field = c.fields[row].value_or("");
    const bool null = field == "\\N";
    if (n.op == Op::IS_NULL) return of(null);
    if (n.op == Op::NOT_NULL) return of(!null);
    if (null) return U;
    if (n.op == Op::LIKE || n.op == Op::ILIKE) {
        const bool fold = n.op == Op::ILIKE;
        return of(like(chars(copy_decoded(field), fold), 0, chars(n.values[0].text, fold), 0) !=
                  n.negated);
    }
    double d = 0;
    if (!value_of(c.kind, field, &d)) return U;
    auto cmp = [&](size_t i) { return compare(c.kind, field, d, n.values[i]); };
    switch (n.op) {
    case Op::EQ: return of(cmp(0) == 0);
    case Op::NE: return of(cmp(0) != 0);
    case Op::LT: return of(cmp(0) < 0);
    case Op::LE: return of(cmp(0) <= 0);
    case Op::GT: return of(cmp(0) > 0);
    case Op::GE: return of(cmp(0) >= 0);
    case Op::BETWEEN: return of((cmp(0) >= 0 && cmp(1) <= 0) != n.negated);
    case Op::IN: {
        bool any = false;
        for (size_t i = 0; i < n.values.size(); ++i) any = any || cmp(i) == 0;
        return of(any != n.negated);
    }
    default: return U;
    }
}

inline Truth eval(const Node &n, const std::vector<Column> &columns, size_t row) {
    switch (n.kind) {
    case Node::TEST: return test(n, columns[static_cast<size_t>(n.col)], row);
    case Node::NOT: {
        const Truth t = eval(*n.a, columns, row);
        return t == U ? U : t == T ? F : T;
    }
    case Node::AND: {
        const Truth a = eval(*n.a, columns, row), b = eval(*n.b, columns, row);
        return a == F || b == F ? F : a == T && b == T ? T : U;
    }
    case Node::OR: {
        const Truth a = eval(*n.a, columns, row), b = eval(*n.b, columns, row);
        return a == T || b == T ? T : a == F && b == F ? F : U;
    }
    }
    return U;
}

} // namespace condition_reference
