// JSON laid out anew: indented for the value view, compact for embedding in a copy.
#pragma once

#include "base/strbuf.h"
#include "export/json_scan.h"

#include <stddef.h>

// Indentation grows two blanks a level up to this many levels and stays there below them, so
// that a hostile value of a million nested brackets gives a text linear in its size.
enum { JSON_INDENT_LEVELS_MAX = 32 };

// The value view's layout of a JSON text: one member or element a line, two blanks a level,
// "key": value, an empty object or array kept as {} or [], every string, number and literal
// exactly as written (no escape re-encoded, no number rewritten); no line end after the last
// line. Lines end in "\n".
//
// JSON_VALID: `out` (initialised here, the caller's to sb_drop) holds the text. JSON_INVALID when
// the text is not one JSON value (json_check), JSON_NO_MEMORY when memory ran out; `out` then
// holds nothing.
JsonCheck json_indent(const char *text, size_t len, StrBuf *out);

// Appends a text json_check found valid with the whitespace between its tokens dropped, every
// token as written. May reallocate out's data.
void json_add_compact(StrBuf *out, const char *text, size_t len);
