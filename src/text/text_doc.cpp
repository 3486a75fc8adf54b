// The block text: positions and lines mapped onto the blocks by binary search.
#include "text/text_doc.h"

namespace {

size_t block_lines(const TextBlock &b) {
    if (b.table) return b.table->count;
    if (b.rows) return b.row_count;
    return 1;
}

// Offset in the block where its i-th line starts.
size_t block_line_start(const TextBlock &b, size_t i) {
    if (b.table) return b.table->starts[i];
    if (b.rows) return static_cast<size_t>(row_index_at(b.rows, static_cast<int64_t>(i)) - b.bytes);
    return 0;
}

// Offset in the block where its i-th line's content ends: before its line break, and before a
// carriage return that stands right before it.
size_t block_line_end(const TextBlock &b, size_t i) {
    size_t end;
    if (i + 1 < block_lines(b)) {
        end = block_line_start(b, i + 1) - 1;
    } else {
        end = b.len;
        if (!b.line_feed_after) return end;
    }
    size_t start = block_line_start(b, i);
    if (end > start && b.bytes[end - 1] == '\r') --end;
    return end;
}

// The last of the n blocks whose first value (position or line) is at most key; 0 for none. A
// text has at most TEXT_MAX_BLOCKS blocks, so a walk is all it takes.
int last_block_from(const size_t *firsts, int n, size_t key) {
    int k = 0;
    while (k + 1 < n && firsts[k + 1] <= key) ++k;
    return k;
}

// The block holding position pos; the text's last position after a final line feed lies past
// every block and gives block_count.
int block_of(const TextDoc *doc, size_t pos) {
    if (doc->block_count == 0) return 0;
    int k = last_block_from(doc->block_start, doc->block_count, pos);
    if (pos > doc->block_start[k] + doc->blocks[k].len) return doc->block_count;
    return k;
}

// The block holding line `line`, or block_count for the empty line after a final line feed.
int block_of_line(const TextDoc *doc, size_t line) {
    if (doc->block_count == 0) return 0;
    int k = last_block_from(doc->block_first_line, doc->block_count, line);
    if (line - doc->block_first_line[k] >= block_lines(doc->blocks[k])) return doc->block_count;
    return k;
}

} // namespace

void text_doc_set(TextDoc *doc, const TextBlock *blocks, int n) {
    doc->block_count = 0;
    doc->len = 0;
    doc->line_count = 0;
    for (int i = 0; i < n && doc->block_count < TEXT_MAX_BLOCKS; ++i) {
        const TextBlock &b = blocks[i];
        if (b.len == 0 && !b.line_feed_after) continue;
        int k = doc->block_count++;
        doc->blocks[k] = b;
        doc->block_start[k] = doc->len;
        doc->block_first_line[k] = doc->line_count;
        doc->len += b.len + (b.line_feed_after ? 1 : 0);
        doc->line_count += block_lines(b);
    }
    // A text that is empty, or ends in a line feed, ends with an empty line of its own.
    if (doc->block_count == 0 || doc->blocks[doc->block_count - 1].line_feed_after)
        ++doc->line_count;
}

void text_doc_set_plain(TextDoc *doc, const char *text, size_t len, const LineTable *table) {
    TextBlock block = {text, len, 0, table, nullptr, 0};
    text_doc_set(doc, &block, 1);
}

size_t text_line_count(const TextDoc *doc) {
    return doc->line_count;
}

size_t text_line_of(const TextDoc *doc, size_t pos) {
    int k = block_of(doc, pos);
    if (k == doc->block_count) return doc->line_count - 1;
    const TextBlock &b = doc->blocks[k];
    size_t off = pos - doc->block_start[k];
    size_t lo = 0, hi = block_lines(b) - 1;
    while (lo < hi) {
        size_t mid = lo + (hi - lo + 1) / 2;
        if (block_line_start(b, mid) <= off)
            lo = mid;
        else
            hi = mid - 1;
    }
    return doc->block_first_line[k] + lo;
}

size_t text_line_start(const TextDoc *doc, size_t line) {
    int k = block_of_line(doc, line);
    if (k == doc->block_count) return doc->len;
    return doc->block_start[k] + block_line_start(doc->blocks[k], line - doc->block_first_line[k]);
}

const char *text_line(const TextDoc *doc, size_t line, size_t *len) {
    int k = block_of_line(doc, line);
    if (k == doc->block_count) {
        *len = 0;
        return "";
    }
    const TextBlock &b = doc->blocks[k];
    size_t i = line - doc->block_first_line[k];
    size_t start = block_line_start(b, i);
    *len = block_line_end(b, i) - start;
    return b.bytes + start;
}

size_t text_line_end(const TextDoc *doc, size_t line) {
    size_t len = 0;
    text_line(doc, line, &len);
    return text_line_start(doc, line) + len;
}

char text_byte_at(const TextDoc *doc, size_t pos) {
    int k = block_of(doc, pos);
    if (k == doc->block_count) return '\n';
    const TextBlock &b = doc->blocks[k];
    size_t off = pos - doc->block_start[k];
    if (off >= b.len) return '\n';
    return b.bytes[off] == '\0' ? '\n' : b.bytes[off];
}
