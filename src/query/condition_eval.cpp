// Evaluating a condition over a row in SQL's three-valued logic, and its text for the status line.
#include "base/stop.h"
#include "base/utf8.h"
#include "base/mem.h"
#include "document/copy_escapes.h"
#include "document/rows.h"
#include "find/case_fold.h"
#include "grid/cells.h"
#include "order/sort_key.h"
#include "query/condition.h"
#include "query/condition_tree.h"
#include "query/float_value.h"

#include <math.h>
#include <string.h>

namespace {

enum Truth : uint8_t { FALSE_, TRUE_, UNKNOWN };

Truth truth(bool b) {
    return b ? TRUE_ : FALSE_;
}

// The next character of a text: its code point, folded when `fold`.
inline uint32_t next_char(const char *p, const char *end, size_t *n, bool fold) {
    uint32_t cp;
    *n = utf8_decode(p, static_cast<size_t>(end - p), &cp);
    return fold ? fold_case(cp) : cp;
}

// SQL's LIKE over the value's text: % any run of characters, _ one, \ the next as itself. The
// last % seen is where a failed match resumes, one character further, which settles every pattern
// of % and _ (as glob matching does).
bool like(const char *t, const char *tend, const char *p, const char *pend, bool fold) {
    const char *star_p = nullptr, *star_t = nullptr;
    while (t < tend) {
        if (p < pend) {
            if (*p == '%') {
                star_p = ++p;
                star_t = t;
                continue;
            }
            size_t tn, pn;
            if (*p == '_') {
                next_char(t, tend, &tn, false);
                t += tn;
                ++p;
                continue;
            }
            const char *q = *p == '\\' && p + 1 < pend ? p + 1 : p;
            const uint32_t want = next_char(q, pend, &pn, fold);
            if (next_char(t, tend, &tn, fold) == want) {
                t += tn;
                p = q + pn;
                continue;
            }
        }
        if (!star_p) return false;
        size_t tn;
        next_char(star_t, tend, &tn, false);
        t = star_t += tn;
        p = star_p;
    }
    while (p < pend && *p == '%') ++p;
    return p == pend;
}

// A field's text decoded for LIKE, on the stack when short.
struct Decoded {
    char stack[1024];
    char *text;
    size_t len;
};

bool decode(const char *field, size_t len, Decoded *d) {
    d->text = len <= sizeof d->stack ? d->stack : static_cast<char *>(mem_alloc(len));
    if (!d->text) return false;
    const char *p = field;
    d->len = copy_unescape(&p, field + len, reinterpret_cast<uint8_t *>(d->text), len);
    return true;
}

void release(Decoded *d) {
    if (d->text != d->stack) mem_free(d->text);
}

int compare_doubles(double a, double b) {
    if (isnan(a)) return isnan(b) ? 0 : 1;
    if (isnan(b)) return -1;
    return a < b ? -1 : a > b ? 1 : 0;
}

// A value's comparison with the field, once the field is known to be a value.
struct Field {
    const char *p;
    size_t len;
    double number;
};

int compare_value(const Condition *c, const CondNode &n, const Field &f, int32_t i) {
    const CondValue &v = c->values[n.first + i];
    if (n.by == BY_FLOAT) return compare_doubles(f.number, v.number);
    SortKey x, y;
    sort_key_open(&x, n.kind, f.p, f.len);
    sort_key_open(&y, n.kind, c->pool + v.field, v.field_len);
    return sort_key_compare(&x, &y);
}

Truth test(const Condition *c, const CondNode &n, RowLine line) {
    size_t len = 0;
    const char *raw = field_at(line.start, line.end, n.col, &len);
    if (!raw) raw = line.end, len = 0; // a field the row lacks reads as empty text
    const bool null = field_is_null(raw, len);
    if (n.op == TEST_IS_NULL) return truth(null);
    if (n.op == TEST_NOT_NULL) return truth(!null);
    if (null) return UNKNOWN;
    // LIKE reads character(n) with its blanks, as the server's bpcharlike does; comparisons do not.
    if (n.trimmed && n.op != TEST_LIKE && n.op != TEST_ILIKE)
        while (len > 0 && raw[len - 1] == ' ') --len;
    if (n.op == TEST_LIKE || n.op == TEST_ILIKE) {
        Decoded d;
        if (!decode(raw, len, &d)) return UNKNOWN;
        const CondValue &v = c->values[n.first];
        const char *pattern = c->pool + v.field;
        const bool match =
            like(d.text, d.text + d.len, pattern, pattern + v.field_len, n.op == TEST_ILIKE);
        release(&d);
        return truth(match != n.negated);
    }
    if (n.by == BY_BYTES) {
        const CondValue &v = c->values[n.first];
        const bool same = v.field_len == len && memcmp(c->pool + v.field, raw, len) == 0;
        return truth(same == (n.op == TEST_EQ));
    }
    Field f = {raw, len, 0};
    if (n.by == BY_FLOAT) {
        if (!float_read(raw, len, n.single, &f.number)) return UNKNOWN;
    } else {
        SortKey key;
        sort_key_open(&key, n.kind, raw, len);
        if (key.cls != FIELD_VALUE) return UNKNOWN;
    }
    switch (n.op) {
    case TEST_EQ: return truth(compare_value(c, n, f, 0) == 0);
    case TEST_NE: return truth(compare_value(c, n, f, 0) != 0);
    case TEST_LT: return truth(compare_value(c, n, f, 0) < 0);
    case TEST_LE: return truth(compare_value(c, n, f, 0) <= 0);
    case TEST_GT: return truth(compare_value(c, n, f, 0) > 0);
    case TEST_GE: return truth(compare_value(c, n, f, 0) >= 0);
    case TEST_BETWEEN:
        return truth((compare_value(c, n, f, 0) >= 0 && compare_value(c, n, f, 1) <= 0) !=
                     n.negated);
    case TEST_IN:
        for (int32_t i = 0; i < n.count; ++i)
            if (compare_value(c, n, f, i) == 0) return truth(!n.negated);
        return truth(n.negated);
    default: return UNKNOWN;
    }
}

Truth eval(const Condition *c, int32_t at, RowLine line) {
    const CondNode &n = c->nodes[at];
    switch (n.node) {
    case NODE_TEST: return test(c, n, line);
    case NODE_NOT: {
        const Truth t = eval(c, n.a, line);
        return t == UNKNOWN ? UNKNOWN : truth(t == FALSE_);
    }
    case NODE_AND: {
        const Truth a = eval(c, n.a, line);
        if (a == FALSE_) return FALSE_;
        const Truth b = eval(c, n.b, line);
        return b == FALSE_ ? FALSE_ : a == TRUE_ && b == TRUE_ ? TRUE_ : UNKNOWN;
    }
    case NODE_OR: {
        const Truth a = eval(c, n.a, line);
        if (a == TRUE_) return TRUE_;
        const Truth b = eval(c, n.b, line);
        return b == TRUE_ ? TRUE_ : a == FALSE_ && b == FALSE_ ? FALSE_ : UNKNOWN;
    }
    }
    return UNKNOWN;
}

} // namespace

bool condition_holds(const Condition *c, const Viewer *viewer, int32_t file_row) {
    return eval(c, c->root, row_line(viewer, file_row)) == TRUE_;
}

int64_t condition_mark(const Condition *c, const Viewer *viewer, const int32_t *in, int32_t n,
                       uint8_t *bits) {
    int64_t count = 0;
    for (int32_t i = 0; i < n; ++i) {
        if (static_cast<uint32_t>(i) % STOP_ROWS == STOP_ROWS - 1 && stop_asked()) return -1;
        const int32_t row = in ? in[i] : i;
        if (eval(c, c->root, row_line(viewer, row)) != TRUE_) continue;
        bits[row / 8] = static_cast<uint8_t>(bits[row / 8] | 1u << (row % 8));
        ++count;
    }
    return count;
}

namespace {

void add_value(const Condition *c, const CondValue &v, StrBuf *out) {
    const char *shown = c->pool + v.shown;
    if (v.bare) {
        sb_add_len(out, shown, v.shown_len);
        return;
    }
    sb_add(out, "'");
    const char *run = shown;
    for (const char *p = shown; p < shown + v.shown_len; ++p)
        if (*p == '\'') {
            sb_add_len(out, run, static_cast<size_t>(p + 1 - run));
            sb_add(out, "'");
            run = p + 1;
        }
    sb_add_len(out, run, static_cast<size_t>(shown + v.shown_len - run));
    sb_add(out, "'");
}

// Precedence of a node: what binds tighter needs no parentheses under what binds looser.
int precedence(NodeKind kind) {
    return kind == NODE_OR ? 1 : kind == NODE_AND ? 2 : kind == NODE_NOT ? 3 : 4;
}

void print(const Condition *c, int32_t at, const Viewer *viewer, int outer, StrBuf *out) {
    const CondNode &n = c->nodes[at];
    const int own = precedence(n.node);
    if (own < outer) sb_add(out, "(");
    switch (n.node) {
    case NODE_OR:
    case NODE_AND:
        print(c, n.a, viewer, own, out);
        sb_add(out, n.node == NODE_OR ? " OR " : " AND ");
        // Both join associatively (in three-valued logic too): a right operand of the same kind
        // reads the same without its parentheses.
        print(c, n.b, viewer, c->nodes[n.b].node == n.node ? own : own + 1, out);
        break;
    case NODE_NOT:
        sb_add(out, "NOT ");
        print(c, n.a, viewer, own, out);
        break;
    case NODE_TEST: {
        static const char *const ops[] = {" = ",    " <> ",    " < ",       " <= ",
                                          " > ",    " >= ",    " IS NULL",  " IS NOT NULL",
                                          " LIKE ", " ILIKE ", " BETWEEN ", " IN ("};
        sb_add(out, column_title(viewer, n.col));
        if (n.negated) sb_add(out, " NOT");
        sb_add(out, ops[n.op]);
        for (int32_t i = 0; i < n.count; ++i) {
            if (i) sb_add(out, n.op == TEST_BETWEEN ? " AND " : ", ");
            add_value(c, c->values[n.first + i], out);
        }
        if (n.op == TEST_IN) sb_add(out, ")");
        break;
    }
    }
    if (own < outer) sb_add(out, ")");
}

} // namespace

void condition_text(const Condition *c, const Viewer *viewer, StrBuf *out) {
    print(c, c->root, viewer, 0, out);
}

void condition_text_after_and(const Condition *c, const Viewer *viewer, StrBuf *out) {
    print(c, c->root, viewer, precedence(NODE_AND), out);
}
