// A literal of a condition read as a value of a column's type, as the server reads a literal it
// compares with a column: into the form the comparison reads, or refused with the reason.
#pragma once

#include "base/strbuf.h"
#include "document/column_types.h"
#include "query/condition_tree.h"

#include <stddef.h>

// What a literal became: how it compares and, for BY_KEY, under which kind (an integer column
// against a number that is no integer compares as numeric), and its double for BY_FLOAT.
struct Literal {
    CompareBy by;
    ColumnKind kind;
    double number;
};

// Reads `text` (len bytes: a string's content with its quotes and doubled quotes undone, or a
// number as typed when `number`) as a value of a column of `kind` and type `type_name`, appending
// its COPY field form to `field` (BY_KEY; nothing for BY_FLOAT). Returns 1; or 0 with a message
// (room bytes at `message`) saying why it is no value of the type.
int literal_read(ColumnKind kind, const char *type_name, const char *text, size_t len, bool number,
                 StrBuf *field, Literal *out, char *message, size_t room);

// Appends text as a COPY field holds it: backslash, tab, line feed and carriage return escaped.
void copy_escape(const char *text, size_t len, StrBuf *out);
