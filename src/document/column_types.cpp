// Column types read from the CREATE TABLE statement of the table the data block copies.
#include "document/column_types.h"

#include "document/sql_words.h"

#include <string.h>

namespace {

// A name as written, up to database.schema.table; longer chains keep their last three parts.
enum { NAME_PARTS = 3 };
struct QualifiedName {
    SqlSpan parts[NAME_PARTS];
    int count;
};

// Reads identifiers joined by dots at p; returns the position after them (p when none starts
// there).
const char *read_qualified(const char *p, const char *end, QualifiedName *name) {
    name->count = 0;
    for (;;) {
        const char *e = sql_ident_end(p, end);
        if (e == p) return p;
        if (name->count == NAME_PARTS) {
            memmove(name->parts, name->parts + 1, (NAME_PARTS - 1) * sizeof(SqlSpan));
            --name->count;
        }
        name->parts[name->count++] = {p, e};
        if (e == end || *e != '.') return e;
        p = e + 1;
    }
}

// Two names of one table: their last parts equal, and every qualifier both write equal too, so
// that a dump written with unqualified names (an older pg_dump) still matches.
bool same_table(const QualifiedName *a, const QualifiedName *b) {
    if (a->count == 0 || b->count == 0) return false;
    for (int i = a->count - 1, j = b->count - 1; i >= 0 && j >= 0; --i, --j)
        if (!sql_ident_equal(a->parts[i], b->parts[j])) return false;
    return true;
}

// The table of a COPY header line: the name after "COPY".
bool copy_table(const char *line, QualifiedName *name) {
    const char *end = line + strlen(line);
    const char *p = sql_match_word(sql_skip_space(line, end), end, "copy");
    if (!p) return false;
    read_qualified(sql_skip_space(p, end), end, name);
    return name->count > 0;
}

// At p, "CREATE [GLOBAL|LOCAL] [TEMP|TEMPORARY|UNLOGGED|FOREIGN] TABLE [IF NOT EXISTS] name": the
// name, and the position after it; null when the text at p is no such statement.
const char *create_table_name(const char *p, const char *end, QualifiedName *name) {
    p = sql_match_word(p, end, "create");
    if (!p) return nullptr;
    p = sql_skip_space(p, end);
    const char *q;
    if ((q = sql_match_word(p, end, "global")) || (q = sql_match_word(p, end, "local")))
        p = sql_skip_space(q, end);
    static const char *const persistence[] = {"temporary", "temp", "unlogged", "foreign"};
    for (const char *word : persistence)
        if ((q = sql_match_word(p, end, word))) {
            p = sql_skip_space(q, end);
            break;
        }
    p = sql_match_word(p, end, "table");
    if (!p) return nullptr;
    p = sql_skip_space(p, end);
    if ((q = sql_match_word(p, end, "if"))) {
        q = sql_match_word(sql_skip_space(q, end), end, "not");
        q = q ? sql_match_word(sql_skip_space(q, end), end, "exists") : nullptr;
        if (!q) return nullptr;
        p = sql_skip_space(q, end);
    }
    const char *after = read_qualified(p, end, name);
    return name->count > 0 ? after : nullptr;
}

// The column list of the CREATE TABLE statement for `table`: the text after its "(". pg_dump starts
// every statement on a line of its own, so only line starts are tried; the first match wins.
const char *find_column_list(const char *sql, const char *end, const QualifiedName *table) {
    for (const char *line = sql; line < end;) {
        const char *lf =
            static_cast<const char *>(memchr(line, '\n', static_cast<size_t>(end - line)));
        const char *next = lf ? lf + 1 : end;
        const char *p = line;
        while (p < next && (*p == ' ' || *p == '\t')) ++p;
        QualifiedName name;
        const char *after = create_table_name(p, end, &name);
        if (after && same_table(&name, table)) {
            after = sql_skip_space(after, end);
            if (after < end && *after == '(') return after + 1;
        }
        line = next;
    }
    return nullptr;
}

// Words that end a column's type: what may follow it in a column definition.
bool ends_type(const char *p, const char *end) {
    static const char *const stops[] = {
        "collate", "default",    "not",       "null",    "constraint",  "check",  "unique",
        "primary", "references", "generated", "storage", "compression", "options"};
    for (const char *word : stops)
        if (sql_match_word(p, end, word)) return true;
    const char *with = sql_match_word(p, end, "with");
    return with && sql_match_word(sql_skip_space(with, end), end, "options");
}

// The end of a parenthesised or bracketed group opened at p.
const char *group_end(const char *p, const char *end) {
    int depth = 0;
    for (; p < end; ++p) {
        if (*p == '(' || *p == '[') ++depth;
        if ((*p == ')' || *p == ']') && --depth == 0) return p + 1;
    }
    return end;
}

// The type in a column definition's text after the name: names, dots, typmods and array brackets,
// up to the first word that starts what follows a type. A word after a dot is the last part of a
// qualified type's name, whatever it is: pg_dump qualifies every type outside pg_catalog, so a
// domain named storage or options reads public.storage, public.options.
SqlSpan type_span(const char *p, const char *end) {
    p = sql_skip_space(p, end);
    SqlSpan type = {p, p};
    bool after_dot = false;
    while (p < end) {
        const char *q;
        if (*p == '(' || *p == '[') {
            q = group_end(p, end);
        } else if (*p == '.') {
            q = p + 1;
        } else {
            q = sql_ident_end(p, end);
            if (q == p || (!after_dot && ends_type(p, end))) break;
        }
        after_dot = *p == '.';
        type.end = q;
        p = sql_skip_space(q, end);
    }
    return type;
}

// Builtin types the viewer orders by value, by the words that name them. Keyword forms (integer,
// double precision, time with time zone) exist only unquoted; catalog names (int4, timestamptz)
// may also be quoted.
struct TypeWords {
    const char *words;
    ColumnKind kind;
    bool catalog_name;
};

const TypeWords TYPE_WORDS[] = {
    {"smallint", KIND_INTEGER, false},
    {"integer", KIND_INTEGER, false},
    {"int", KIND_INTEGER, false},
    {"bigint", KIND_INTEGER, false},
    {"int2", KIND_INTEGER, true},
    {"int4", KIND_INTEGER, true},
    {"int8", KIND_INTEGER, true},
    {"smallserial", KIND_INTEGER, false},
    {"serial", KIND_INTEGER, false},
    {"bigserial", KIND_INTEGER, false},
    {"serial2", KIND_INTEGER, false},
    {"serial4", KIND_INTEGER, false},
    {"serial8", KIND_INTEGER, false},
    {"numeric", KIND_NUMERIC, true},
    {"decimal", KIND_NUMERIC, false},
    {"real", KIND_FLOAT, false},
    {"float", KIND_FLOAT, false},
    {"double precision", KIND_FLOAT, false},
    {"float4", KIND_FLOAT, true},
    {"float8", KIND_FLOAT, true},
    {"boolean", KIND_BOOLEAN, false},
    {"bool", KIND_BOOLEAN, true},
    {"date", KIND_DATE, true},
    {"time", KIND_TIME, true},
    {"time without time zone", KIND_TIME, false},
    {"time with time zone", KIND_TIMETZ, false},
    {"timetz", KIND_TIMETZ, true},
    {"timestamp", KIND_TIMESTAMP, true},
    {"timestamp without time zone", KIND_TIMESTAMP, false},
    {"timestamp with time zone", KIND_TIMESTAMPTZ, false},
    {"timestamptz", KIND_TIMESTAMPTZ, true},
    {"json", KIND_JSON, true},
    {"jsonb", KIND_JSON, true},
};

// What a type means to the viewer. An array (brackets or ARRAY), a type in a schema other than
// pg_catalog, and every name not in TYPE_WORDS are text.
ColumnKind kind_of_type(SqlSpan type) {
    char words[40];
    size_t n = 0;
    bool quoted = false;
    words[0] = '\0';
    const char *p = type.p;
    while (p < type.end) {
        const char *q;
        if (*p == '[') return KIND_TEXT;
        if (*p == '(') {
            q = group_end(p, type.end);
        } else {
            q = sql_ident_end(p, type.end);
            if (q == p) return KIND_TEXT;
            if (sql_match_word(p, q, "array")) return KIND_TEXT;
            if (q < type.end && *q == '.') {
                static const char catalog[] = "pg_catalog";
                if (!sql_ident_equal({p, q}, {catalog, catalog + sizeof catalog - 1}))
                    return KIND_TEXT;
                p = q + 1;
                continue;
            }
            quoted = quoted || *p == '"';
            if (n > 0) {
                if (n + 1 >= sizeof words) return KIND_TEXT;
                words[n++] = ' ';
            }
            if (!sql_ident_append({p, q}, words, sizeof words, &n)) return KIND_TEXT;
        }
        p = sql_skip_space(q, type.end);
    }
    for (const TypeWords &t : TYPE_WORDS)
        if (strcmp(words, t.words) == 0 && (!quoted || t.catalog_name)) return t.kind;
    return KIND_TEXT;
}

// The type's text with each run of blanks and line breaks as one blank, cut to fit
// COLUMN_TYPE_NAME_MAX - 1 bytes before a character that would not fit whole.
void copy_type_name(SqlSpan type, char *out) {
    size_t n = 0;
    const char *p = type.p;
    while (p < type.end && n < COLUMN_TYPE_NAME_MAX - 1) {
        const char *next = sql_skip_space(p, type.end);
        out[n++] = next != p ? ' ' : *next++;
        p = next;
    }
    if (p < type.end && (static_cast<unsigned char>(*p) & 0xC0) == 0x80) {
        while (n > 0 && (static_cast<unsigned char>(out[n - 1]) & 0xC0) == 0x80) --n;
        if (n > 0) --n;
    }
    out[n] = '\0';
}

// Whether an element of the column list is a table constraint (or a LIKE clause). The words that
// begin one are reserved, so pg_dump quotes a column named by them, but for EXCLUDE: a column may
// be named exclude unquoted, and then its type follows the name, where the constraint has USING
// or its list of elements.
bool is_table_constraint(const char *p, const char *end) {
    static const char *const reserved[] = {"constraint", "check",   "unique",
                                           "primary",    "foreign", "like"};
    for (const char *word : reserved)
        if (sql_match_word(p, end, word)) return true;
    const char *after = sql_match_word(p, end, "exclude");
    if (!after) return false;
    after = sql_skip_space(after, end);
    return after < end && (*after == '(' || sql_match_word(after, end, "using"));
}

// One element of the column list: a column definition whose name is one of col_names gives that
// column its type; a table constraint gives nothing.
void read_element(const char *p, const char *end, const char *const *col_names, int32_t col_count,
                  ColumnType *out) {
    if (is_table_constraint(p, end)) return;
    const char *name_end = sql_ident_end(p, end);
    if (name_end == p) return;
    SqlSpan type = {nullptr, nullptr};
    for (int32_t c = 0; c < col_count; ++c) {
        const char *col = col_names[c];
        if (!col || !sql_ident_equal({p, name_end}, {col, col + strlen(col)})) continue;
        if (!type.p) type = type_span(name_end, end);
        if (type.p == type.end) return;
        out[c].kind = kind_of_type(type);
        copy_type_name(type, out[c].name);
    }
}

} // namespace

void read_column_types(const char *sql, size_t sql_len, const char *copy_line,
                       const char *const *col_names, int32_t col_count, ColumnType *out) {
    for (int32_t c = 0; c < col_count; ++c) out[c] = {KIND_TEXT, ""};
    QualifiedName table;
    if (!sql || !copy_line || !copy_table(copy_line, &table)) return;
    const char *end = sql + sql_len;
    const char *p = find_column_list(sql, end, &table);
    if (!p) return;
    for (;;) {
        p = sql_skip_space(p, end);
        const char *e = sql_element_end(p, end);
        read_element(p, e, col_names, col_count, out);
        if (e >= end || *e == ')') return;
        p = e + 1;
    }
}
