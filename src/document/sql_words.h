// Words of SQL text as pg_dump writes it: blanks, keywords, identifiers (quoted or not) and the
// end of a list element, for reading a CREATE TABLE statement without a parser.
#pragma once

#include <stddef.h>

// A stretch [p, end) of a text that outlives it; empty when p == end.
struct SqlSpan {
    const char *p;
    const char *end;
};

// The first byte at or after p that is not a blank, tab or line break (or end).
const char *sql_skip_space(const char *p, const char *end);

// Where the identifier starting at p ends: after the closing quote of a double-quoted one (a quote
// inside written twice), or after the run of letters, digits, '_', '$' and bytes of multibyte
// characters of an unquoted one; p itself when no identifier starts there. An unclosed quote runs
// to end.
const char *sql_ident_end(const char *p, const char *end);

// Whether two identifiers (each as written, quotes included, blanks around them ignored) name the
// same thing the way PostgreSQL resolves them: unquoted letters fold to lower case (ASCII only, as
// the server folds them in UTF-8 databases), a quoted stretch is taken exactly.
bool sql_ident_equal(SqlSpan a, SqlSpan b);

// Appends the identifier's name as the server reads it (quotes dropped, a doubled quote inside a
// quoted stretch as one, unquoted ASCII letters folded to lower case) to out[*n] and ends it with
// a NUL; returns false when it does not fit in `room` bytes.
bool sql_ident_append(SqlSpan ident, char *out, size_t room, size_t *n);

// The position after `word` (lower-case ASCII) when the text at p is that word in any case and no
// identifier byte follows it; null otherwise.
const char *sql_match_word(const char *p, const char *end, const char *word);

// The end of the list element starting at p: the first ',' or ')' at nesting depth 0, or end.
// Parentheses and brackets nest; quoted identifiers, string constants ('' inside; backslash escapes
// in E'' ones), and -- and /* */ comments are stepped over whole.
const char *sql_element_end(const char *p, const char *end);
