// A read-only text made of a few blocks of bytes that stay where they are: the document's own
// sections and rows, read as one UTF-8 text of lines, without copying them into one piece.
#pragma once

#include "document/row_index.h"
#include "text/line_table.h"

#include <stddef.h>

enum { TEXT_MAX_BLOCKS = 8 };

// One stretch of the text. Nothing here is owned: the bytes belong to the document (or are
// literals), and a block's line starts come from a LineTable or from the document's row array.
//
// Inside a block a NUL byte reads as a line feed (the document's texts hold none: a file's text
// ends at its first NUL).
// With `line_feed_after` set, one line feed follows the block in the text without being in its
// bytes. A block holds its line breaks in exactly one way:
//   - none (table and line_ptrs null): the block is one line, with no line break inside;
//   - `table`: the LineTable of its bytes;
//   - `rows`: the document's row index, whose first `row_count` entries are the starts of its
//     lines, the first equal to `bytes`, increasing, each line ending one byte (its line feed)
//     before the next line's start; the last line ends at bytes + len.
// Every block but the last has `line_feed_after` set, so that no line spans two blocks.
struct TextBlock {
    const char *bytes;
    size_t len;
    int line_feed_after;
    const LineTable *table;
    const RowIndex *rows;
    size_t row_count;
};

// The text as a whole: the blocks in order, with where each starts in the text and its first
// line. Positions are byte offsets in the text, 0 to len; a line break counts as one byte (the
// NUL or line feed it is), and so does a block's `line_feed_after`.
//
// A line is the bytes between two line breaks. Its content excludes the line break and a carriage
// return right before a line feed (a CR LF line end), so a line's end is where its content ends
// and the next line starts one or two bytes later. A text that ends in a line break ends with an
// empty line; an empty text has one empty line.
struct TextDoc {
    TextBlock blocks[TEXT_MAX_BLOCKS];
    size_t block_start[TEXT_MAX_BLOCKS];      // text offset of each block's first byte
    size_t block_first_line[TEXT_MAX_BLOCKS]; // line number of each block's first line
    int block_count;
    size_t len;
    size_t line_count;
};

// Sets the text to `n` blocks (at most TEXT_MAX_BLOCKS; empty blocks without a line feed after
// them are dropped). Costs the number of blocks; allocates nothing.
void text_doc_set(TextDoc *doc, const TextBlock *blocks, int n);

// The text of one block of NUL-terminated bytes holding no NUL before its end, e.g. a section
// whose line table is `table` (null for a text of one line).
void text_doc_set_plain(TextDoc *doc, const char *text, size_t len, const LineTable *table);

size_t text_line_count(const TextDoc *doc);

// The line holding position pos (0 <= pos <= len); a position on a line break belongs to the line
// it ends. Costs a binary search.
size_t text_line_of(const TextDoc *doc, size_t pos);

// Where line `line` starts in the text.
size_t text_line_start(const TextDoc *doc, size_t line);

// The content of line `line`: its bytes, contiguous in memory, and their number in *len. The
// content never holds a line break.
const char *text_line(const TextDoc *doc, size_t line, size_t *len);

// Where line `line`'s content ends in the text (start + content length).
size_t text_line_end(const TextDoc *doc, size_t line);

// The byte at position pos (0 <= pos < len) as the text reads it: a NUL inside a block and a
// block's line feed after it read as '\n'.
char text_byte_at(const TextDoc *doc, size_t pos);
