// Column names as a reader of another format wants them: the identifier's own text.
#pragma once

#include "base/strbuf.h"

// Appends the name a column name as the COPY header line writes it stands for: a double-quoted
// identifier without its quotes, a doubled quote inside becoming one ("Order Id" gives Order Id,
// "say ""hi""" gives say "hi"); any other name as written. Bytes after a closing quote, which
// the server never writes, are kept as written. May reallocate out's data.
void add_unquoted_name(StrBuf *out, const char *written);
