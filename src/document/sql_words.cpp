// SQL words: blanks, keywords, identifiers and list elements.
#include "document/sql_words.h"

namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Bytes of an unquoted identifier after its first; high bytes are parts of UTF-8 letters.
bool is_ident_byte(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
           u == '$' || u >= 0x80;
}

char lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Steps through an identifier's bytes as the server reads them: quotes dropped, a doubled quote
// inside a quoted stretch as one quote, unquoted letters folded.
struct IdentBytes {
    const char *p;
    const char *end;
    bool quoted;
};

// The next byte of the name, or -1 at its end.
int ident_next(IdentBytes *it) {
    while (it->p < it->end) {
        char c = *it->p++;
        if (c == '"') {
            if (it->quoted && it->p < it->end && *it->p == '"') {
                ++it->p;
                return '"';
            }
            it->quoted = !it->quoted;
            continue;
        }
        return static_cast<unsigned char>(it->quoted ? c : lower_ascii(c));
    }
    return -1;
}

SqlSpan trimmed(SqlSpan s) {
    s.p = sql_skip_space(s.p, s.end);
    while (s.end > s.p && is_space(s.end[-1])) --s.end;
    return s;
}

// The end of the quoted stretch opened at p (p at the opening quote): after its closing quote, a
// doubled quote inside it staying inside; with `backslashes`, a backslash escapes the next byte.
const char *quoted_end(const char *p, const char *end, char quote, bool backslashes) {
    for (++p; p < end; ++p) {
        if (backslashes && *p == '\\') {
            if (++p == end) break;
        } else if (*p == quote) {
            if (p + 1 < end && p[1] == quote) {
                ++p;
                continue;
            }
            return p + 1;
        }
    }
    return end;
}

} // namespace

const char *sql_skip_space(const char *p, const char *end) {
    while (p < end && is_space(*p)) ++p;
    return p;
}

const char *sql_ident_end(const char *p, const char *end) {
    if (p < end && *p == '"') return quoted_end(p, end, '"', false);
    if (p < end && (*p < '0' || *p > '9') && *p != '$') {
        while (p < end && is_ident_byte(*p)) ++p;
    }
    return p;
}

bool sql_ident_equal(SqlSpan a, SqlSpan b) {
    a = trimmed(a);
    b = trimmed(b);
    IdentBytes x = {a.p, a.end, false}, y = {b.p, b.end, false};
    for (;;) {
        int cx = ident_next(&x), cy = ident_next(&y);
        if (cx != cy) return false;
        if (cx < 0) return true;
    }
}

const char *sql_match_word(const char *p, const char *end, const char *word) {
    for (; *word; ++word, ++p)
        if (p == end || lower_ascii(*p) != *word) return nullptr;
    return p < end && is_ident_byte(*p) ? nullptr : p;
}

const char *sql_element_end(const char *p, const char *end) {
    const char *start = p;
    int depth = 0;
    while (p < end) {
        char c = *p;
        if (c == '"') {
            p = quoted_end(p, end, '"', false);
        } else if (c == '\'') {
            bool escapes = p > start && (p[-1] == 'E' || p[-1] == 'e');
            p = quoted_end(p, end, '\'', escapes);
        } else if (c == '-' && p + 1 < end && p[1] == '-') {
            while (p < end && *p != '\n') ++p;
        } else if (c == '/' && p + 1 < end && p[1] == '*') {
            for (p += 2; p < end && !(*p == '*' && p + 1 < end && p[1] == '/'); ++p) {
            }
            p = p < end ? p + 2 : end;
        } else if (c == '(' || c == '[') {
            ++depth;
            ++p;
        } else if ((c == ')' || c == ']') && depth > 0) {
            --depth;
            ++p;
        } else if (depth == 0 && (c == ',' || c == ')')) {
            return p;
        } else {
            ++p;
        }
    }
    return end;
}

bool sql_ident_append(SqlSpan ident, char *out, size_t room, size_t *n) {
    IdentBytes it = {ident.p, ident.end, false};
    for (int c; (c = ident_next(&it)) >= 0;) {
        if (*n + 1 >= room) return false;
        out[(*n)++] = static_cast<char>(c);
    }
    out[*n] = '\0';
    return true;
}
