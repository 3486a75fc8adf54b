// Reading a condition: a recursive descent over the text, a column's name matched as the header
// shows it, each literal read as a value of its column's type.
#include "base/mem.h"
#include "document/sql_words.h"
#include "grid/cells.h"
#include "query/condition.h"
#include "query/condition_literal.h"
#include "query/condition_tree.h"
#include "query/float_value.h"
#include "query/type_names.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool is_ident_byte(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
           u == '$' || u >= 0x80;
}

// A column's name as the server reads it (quotes dropped, unquoted letters folded), into out.
bool server_name(const Viewer *viewer, int32_t col, char *out, size_t room) {
    if (col >= MAX_COLS || !viewer->col_names[col]) return false;
    const char *title = viewer->col_names[col];
    size_t n = 0;
    return sql_ident_append({title, title + strlen(title)}, out, room, &n) && n > 0;
}

enum { NAME_ROOM = 512 };

// The column whose name starts the text at p: a quoted name matched exactly, the name without
// its quotes (the longest that is followed by no identifier byte), or an unquoted name folded to
// lower case. Returns the column and sets *after, or -1 (with *after at the end of what was read
// as a name, for the error).
int32_t read_column(const Viewer *viewer, const char *p, const char *end, const char **after) {
    char name[NAME_ROOM], wanted[NAME_ROOM];
    const int32_t cols = viewer->col_count < MAX_COLS ? viewer->col_count : MAX_COLS;
    if (p < end && *p == '"') {
        const char *q = sql_ident_end(p, end);
        *after = q;
        size_t n = 0;
        if (q == end && (q - p < 2 || q[-1] != '"')) return -1; // unclosed
        if (!sql_ident_append({p, q}, wanted, sizeof wanted, &n)) return -1;
        for (int32_t c = 0; c < cols; ++c)
            if (server_name(viewer, c, name, sizeof name) && strcmp(name, wanted) == 0) return c;
        return -1;
    }
    int32_t best = -1;
    size_t best_len = 0;
    for (int32_t c = 0; c < cols; ++c) {
        if (!server_name(viewer, c, name, sizeof name)) continue;
        const size_t n = strlen(name);
        if (n > static_cast<size_t>(end - p) || n <= best_len || memcmp(p, name, n) != 0) continue;
        if (p + n < end && is_ident_byte(p[n]) && is_ident_byte(p[n - 1])) continue;
        best = c;
        best_len = n;
    }
    if (best >= 0) {
        *after = p + best_len;
        return best;
    }
    const char *q = p;
    while (q < end && is_ident_byte(*q)) ++q;
    *after = q;
    if (q == p || (*p >= '0' && *p <= '9')) return -1;
    size_t n = 0;
    if (!sql_ident_append({p, q}, wanted, sizeof wanted, &n)) return -1;
    for (int32_t c = 0; c < cols; ++c)
        if (server_name(viewer, c, name, sizeof name) && strcmp(name, wanted) == 0) return c;
    return -1;
}

const char *skip_blanks(const char *p, const char *end) {
    while (p < end && is_blank(*p)) ++p;
    return p;
}

// The word (lower case) at p in any case, ended by no identifier byte: the position after it.
const char *word(const char *p, const char *end, const char *w) {
    return sql_match_word(p, end, w);
}

// What an operator after a column may start with.
bool starts_test(const char *p, const char *end) {
    if (p == end) return false;
    if (*p == '=' || *p == '<' || *p == '>' || (*p == '!' && p + 1 < end && p[1] == '='))
        return true;
    static const char *const words[] = {"is", "not", "like", "ilike", "between", "in"};
    for (const char *w : words)
        if (word(p, end, w)) return true;
    return false;
}

struct Parser {
    const Viewer *viewer;
    const char *text, *p, *end;
    Condition *c;
    ConditionError *error;
    bool failed;
};

void fail_at(Parser *ps, const char *at, const char *format, ...) {
    if (ps->failed) return;
    ps->failed = true;
    va_list args;
    va_start(args, format);
    vsnprintf(ps->error->message, sizeof ps->error->message, format, args);
    va_end(args);
    int32_t chars = 0;
    for (const char *q = ps->text; q < at; ++q)
        chars += (static_cast<unsigned char>(*q) & 0xC0) != 0x80;
    ps->error->position = chars + 1;
}

void out_of_memory(Parser *ps) {
    fail_at(ps, ps->p, "not enough memory for the condition");
}

int32_t parse_or(Parser *ps);

// A literal as typed: a quoted string, a number, TRUE or FALSE. Its text (a string's quotes
// undone) goes into `typed`.
bool read_literal(Parser *ps, StrBuf *typed, bool *number) {
    const char *p = ps->p = skip_blanks(ps->p, ps->end);
    const char *end = ps->end;
    if (p < end && *p == '\'') {
        for (++p;; ++p) {
            if (p == end) {
                fail_at(ps, ps->p, "the string is not closed: a ' is missing");
                return false;
            }
            if (*p == '\'') {
                if (p + 1 < end && p[1] == '\'') {
                    sb_add(typed, "'");
                    ++p;
                    continue;
                }
                break;
            }
            sb_add_len(typed, p, 1);
        }
        ps->p = p + 1;
        *number = false;
        return true;
    }
    const char *q = p;
    if (q < end && (*q == '-' || *q == '+')) ++q;
    const char *digits = q;
    while (q < end && ((*q >= '0' && *q <= '9') || *q == '.')) ++q;
    if (q > digits && q < end && (*q == 'e' || *q == 'E')) {
        const char *e = q + 1;
        if (e < end && (*e == '-' || *e == '+')) ++e;
        if (e < end && *e >= '0' && *e <= '9') {
            q = e;
            while (q < end && *q >= '0' && *q <= '9') ++q;
        }
    }
    if (q > digits && !(q < end && is_ident_byte(*q))) {
        sb_add_len(typed, p, static_cast<size_t>(q - p));
        ps->p = q;
        *number = true;
        return true;
    }
    if (const char *after = word(p, end, "true")) {
        sb_add(typed, "true");
        ps->p = after;
        *number = false;
        return true;
    }
    if (const char *after = word(p, end, "false")) {
        sb_add(typed, "false");
        ps->p = after;
        *number = false;
        return true;
    }
    if (word(p, end, "null"))
        fail_at(ps, p, "NULL is no value to compare with: write IS NULL or IS NOT NULL");
    else
        fail_at(ps, p, "a value was expected: a number or a 'quoted string'");
    return false;
}

// Reads one value for `node`'s column and adds it; for LIKE the pattern as typed.
bool add_literal(Parser *ps, CondNode *node) {
    StrBuf typed, field;
    if (!sb_init(&typed)) {
        out_of_memory(ps);
        return false;
    }
    if (!sb_init(&field)) {
        sb_drop(&typed);
        out_of_memory(ps);
        return false;
    }
    const char *start = skip_blanks(ps->p, ps->end);
    bool number = false, ok = read_literal(ps, &typed, &number);
    const ColumnType *type = ps->viewer->col_types ? &ps->viewer->col_types[node->col] : nullptr;
    const ColumnKind kind = type ? type->kind : KIND_TEXT;
    Literal lit = {BY_KEY, kind, 0};
    if (ok && node->op == TEST_LIKE) {
        if (typed.len > 0 && typed.data[typed.len - 1] == '\\') {
            size_t slashes = 0;
            while (slashes < typed.len && typed.data[typed.len - 1 - slashes] == '\\') ++slashes;
            if (slashes % 2) {
                fail_at(ps, start, "a LIKE pattern cannot end with \\");
                ok = false;
            }
        }
        sb_add_len(&field, typed.data, typed.len);
    } else if (ok) {
        char message[sizeof ps->error->message];
        if (!literal_read(kind, type ? type->name : "", typed.data, typed.len, number, &field, &lit,
                          message, sizeof message)) {
            fail_at(ps, start, "%s", message);
            ok = false;
        }
    }
    if (ok && (typed.failed || field.failed)) {
        out_of_memory(ps);
        ok = false;
    }
    if (ok) {
        CondValue v = {};
        v.field = condition_add_bytes(ps->c, field.data, field.len);
        v.field_len = static_cast<uint32_t>(field.len);
        v.shown = condition_add_bytes(ps->c, typed.data, typed.len);
        v.shown_len = static_cast<uint32_t>(typed.len);
        v.number = lit.number;
        v.bare = number;
        const int32_t at =
            v.field == UINT32_MAX || v.shown == UINT32_MAX ? -1 : condition_add_value(ps->c, v);
        if (at < 0) {
            out_of_memory(ps);
            ok = false;
        } else {
            if (node->count++ == 0) node->first = at;
            node->by = node->op == TEST_LIKE ? BY_KEY : lit.by;
            if (lit.kind != kind) node->kind = lit.kind;
        }
    }
    sb_drop(&typed);
    sb_drop(&field);
    return ok;
}

// A column and its test.
int32_t parse_test(Parser *ps) {
    const char *start = ps->p = skip_blanks(ps->p, ps->end);
    const char *after = start;
    const int32_t col = read_column(ps->viewer, start, ps->end, &after);
    if (col < 0) {
        if (after == start)
            fail_at(ps, start, "a column's name was expected");
        else
            fail_at(ps, start, "no column is named %.*s",
                    static_cast<int>(after - start > 60 ? 60 : after - start), start);
        return -1;
    }
    CondNode node = {};
    node.node = NODE_TEST;
    node.col = col;
    const ColumnType *type = ps->viewer->col_types ? &ps->viewer->col_types[col] : nullptr;
    node.kind = type ? type->kind : KIND_TEXT;
    node.trimmed = type && type->kind == KIND_TEXT && type_is_blank_padded(type->name);
    node.single = type && type->kind == KIND_FLOAT && float_type_is_single(type->name);
    const char *p = skip_blanks(after, ps->end), *end = ps->end, *q;
    ps->p = p;
    if ((q = word(p, end, "is"))) {
        q = skip_blanks(q, end);
        const char *n = word(q, end, "not");
        if (n) q = skip_blanks(n, end);
        const char *null = word(q, end, "null");
        if (!null) {
            fail_at(ps, q, "NULL was expected after IS%s", n ? " NOT" : "");
            return -1;
        }
        ps->p = null;
        node.op = n ? TEST_NOT_NULL : TEST_IS_NULL;
        return condition_add_node(ps->c, node);
    }
    if ((q = word(p, end, "not"))) {
        node.negated = true;
        p = skip_blanks(q, end);
    }
    static const struct {
        const char *word;
        TestOp op;
    } words[] = {
        {"like", TEST_LIKE}, {"ilike", TEST_ILIKE}, {"between", TEST_BETWEEN}, {"in", TEST_IN}};
    bool worded = false;
    for (const auto &w : words)
        if ((q = word(p, end, w.word))) {
            node.op = w.op;
            worded = true;
            ps->p = q;
            break;
        }
    if (!worded) {
        static const struct {
            const char *symbol;
            TestOp op;
        } symbols[] = {{"<=", TEST_LE}, {">=", TEST_GE}, {"<>", TEST_NE}, {"!=", TEST_NE},
                       {"=", TEST_EQ},  {"<", TEST_LT},  {">", TEST_GT}};
        for (const auto &s : symbols) {
            const size_t n = strlen(s.symbol);
            if (!node.negated && static_cast<size_t>(end - p) >= n && memcmp(p, s.symbol, n) == 0) {
                node.op = s.op;
                worded = true;
                ps->p = p + n;
                break;
            }
        }
    }
    if (!worded) {
        fail_at(ps, p,
                node.negated ? "LIKE, ILIKE, BETWEEN or IN was expected after NOT"
                             : "an operator was expected after the column: = <> < <= > >= IS "
                               "LIKE ILIKE BETWEEN IN");
        return -1;
    }
    // ILIKE reads its pattern as LIKE does; the op stays apart for the match.
    const TestOp op = node.op;
    if (op == TEST_ILIKE) node.op = TEST_LIKE;
    bool ok = true;
    if (op == TEST_IN) {
        p = skip_blanks(ps->p, end);
        if (p == end || *p != '(') {
            fail_at(ps, p, "( was expected after IN");
            return -1;
        }
        ps->p = p + 1;
        do {
            ok = add_literal(ps, &node);
            ps->p = skip_blanks(ps->p, end);
        } while (ok && ps->p < end && *ps->p == ',' && ++ps->p);
        if (ok && (ps->p == end || *ps->p != ')')) {
            fail_at(ps, ps->p, ", or ) was expected in the list of IN");
            ok = false;
        }
        if (ok) ++ps->p;
    } else if (op == TEST_BETWEEN) {
        ok = add_literal(ps, &node);
        if (ok) {
            p = skip_blanks(ps->p, end);
            q = word(p, end, "and");
            if (!q) {
                fail_at(ps, p, "AND was expected between the two values of BETWEEN");
                ok = false;
            } else {
                ps->p = q;
                ok = add_literal(ps, &node);
            }
        }
    } else {
        ok = add_literal(ps, &node);
    }
    if (!ok) return -1;
    node.op = op;
    if (op == TEST_ILIKE || op == TEST_LIKE) node.by = BY_KEY;
    return condition_add_node(ps->c, node);
}

int32_t parse_not(Parser *ps) {
    const char *p = ps->p = skip_blanks(ps->p, ps->end);
    if (const char *q = word(p, ps->end, "not")) {
        // A column named "not" followed by an operator is that column.
        const char *after;
        if (read_column(ps->viewer, p, ps->end, &after) < 0 ||
            !starts_test(skip_blanks(after, ps->end), ps->end)) {
            ps->p = q;
            const int32_t inner = parse_not(ps);
            if (inner < 0) return -1;
            CondNode node = {};
            node.node = NODE_NOT;
            node.a = inner;
            return condition_add_node(ps->c, node);
        }
    }
    if (p < ps->end && *p == '(') {
        ps->p = p + 1;
        const int32_t inner = parse_or(ps);
        if (inner < 0) return -1;
        p = skip_blanks(ps->p, ps->end);
        if (p == ps->end || *p != ')') {
            fail_at(ps, p, ") was expected");
            return -1;
        }
        ps->p = p + 1;
        return inner;
    }
    return parse_test(ps);
}

int32_t parse_joined(Parser *ps, NodeKind kind);

int32_t parse_and(Parser *ps) {
    return parse_joined(ps, NODE_AND);
}

int32_t parse_or(Parser *ps) {
    return parse_joined(ps, NODE_OR);
}

// Terms joined by AND (of NOTs) or OR (of ANDs), left to right.
int32_t parse_joined(Parser *ps, NodeKind kind) {
    const char *joiner = kind == NODE_AND ? "and" : "or";
    int32_t left = kind == NODE_AND ? parse_not(ps) : parse_and(ps);
    while (left >= 0) {
        const char *p = skip_blanks(ps->p, ps->end);
        const char *q = word(p, ps->end, joiner);
        if (!q) break;
        ps->p = q;
        const int32_t right = kind == NODE_AND ? parse_not(ps) : parse_and(ps);
        if (right < 0) return -1;
        CondNode node = {};
        node.node = kind;
        node.a = left;
        node.b = right;
        left = condition_add_node(ps->c, node);
        if (left < 0) out_of_memory(ps);
    }
    return left;
}

} // namespace

bool condition_looks_like(const Viewer *viewer, const char *text, size_t len) {
    const char *p = text, *end = text + len;
    for (;;) {
        p = skip_blanks(p, end);
        if (p < end && *p == '(') {
            ++p;
            continue;
        }
        const char *after;
        if (read_column(viewer, p, end, &after) >= 0 && starts_test(skip_blanks(after, end), end))
            return true;
        const char *q = word(p, end, "not");
        if (!q) return false;
        p = q;
    }
}

int condition_parse(const Viewer *viewer, const char *text, size_t len, Condition **out,
                    ConditionError *error) {
    *out = nullptr;
    error->message[0] = '\0';
    error->position = 0;
    Parser ps = {viewer, text, text, text + len, condition_new(), error, false};
    if (!ps.c) {
        snprintf(error->message, sizeof error->message, "not enough memory for the condition");
        error->position = 1;
        return 0;
    }
    const int32_t root = parse_or(&ps);
    if (root >= 0) {
        const char *rest = skip_blanks(ps.p, ps.end);
        if (rest != ps.end)
            fail_at(&ps, rest,
                    *rest == ')' ? "this ) closes no (" : "AND or OR was expected, or the end");
    } else if (!ps.failed) {
        out_of_memory(&ps);
    }
    if (ps.failed) {
        condition_free(ps.c);
        return 0;
    }
    ps.c->root = root;
    *out = ps.c;
    return 1;
}
