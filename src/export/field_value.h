// A field's whole value: PostgreSQL's COPY text escapes decoded, with no length cut.
#pragma once

#include "base/strbuf.h"
#include "document/copy_escapes.h"

#include <stddef.h>

// Decodes the raw field's len bytes into out, which has room for len bytes: decoding never
// lengthens a text. Returns the decoded length; writes no NUL.
//
// The escapes are the server's: \b \f \n \r \t \v give their control characters; \ddd (one to
// three octal digits) and \xhh (one or two hex digits) give the byte they spell, an octal value
// past 0377 keeping its low eight bits; a backslash before any other byte gives that byte ("\\"
// a backslash, "\x" without a hex digit an "x"). A lone backslash ending the field stays, since
// no byte follows it to give. Bytes come out as they were spelled, UTF-8 or not.
size_t value_decode_into(const char *raw, size_t len, char *out);

// Appends the decoded value to out; may reallocate out's data (a failed growth sets out->failed
// and appends nothing).
void value_decode(const char *raw, size_t len, StrBuf *out);
