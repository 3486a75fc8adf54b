// Line tables: count the breaks, then take one block and fill it in a second walk.
#include "text/line_table.h"

#include "base/mem.h"

#include <string.h>

namespace {

// The next line break (line feed or NUL) in [p, end), or end. Two library searches, the second
// only as far as the line feed: the document's texts hold no NUL.
const char *next_break(const char *p, const char *end) {
    const char *lf = static_cast<const char *>(memchr(p, '\n', static_cast<size_t>(end - p)));
    const char *limit = lf ? lf : end;
    const char *nul = static_cast<const char *>(memchr(p, '\0', static_cast<size_t>(limit - p)));
    return nul ? nul : limit;
}

} // namespace

int line_table_build(LineTable *table, const char *bytes, size_t n) {
    table->starts = nullptr;
    table->count = 0;
    const char *end = bytes + n;
    size_t count = 1;
    for (const char *p = bytes; (p = next_break(p, end)) < end; ++p) ++count;
    size_t *starts = static_cast<size_t *>(mem_alloc(count * sizeof(size_t)));
    if (!starts) return 0;
    starts[0] = 0;
    size_t i = 1;
    for (const char *p = bytes; (p = next_break(p, end)) < end; ++p)
        starts[i++] = static_cast<size_t>(p + 1 - bytes);
    table->starts = starts;
    table->count = count;
    return 1;
}

void line_table_free(LineTable *table) {
    mem_free(table->starts);
    table->starts = nullptr;
    table->count = 0;
}
