// The selection as clipboard text: tab-separated cells, one CRLF-ended line per row.
#pragma once

#include "base/strbuf.h"
#include "document/viewer.h"

#include <stddef.h>
#include <stdint.h>

enum { CELL_SCRATCH = 8192 };

// Decodes the COPY escapes of one cell's raw bytes (raw_len of them) into out, which holds
// CELL_SCRATCH bytes, or at least min(raw_len, CELL_SCRATCH - 1) + 1, since decoding never
// lengthens a text: "\t" becomes a blank, "\n" and "\r" vanish, a backslash before any other
// byte gives that byte, and a lone final backslash stays. The output stops at CELL_SCRATCH - 1
// bytes and is NUL-terminated; its length is returned.
size_t unescape_cell(const char *raw, size_t raw_len, char *out);

// Builds the text of the current selection into `text` (which the caller then owns and frees with
// sb_drop): for each selected row, each selected cell decoded (its first CELL_SCRATCH - 1 raw
// bytes; a NULL "\N" copies as nothing; a missing field as nothing), joined by tabs, ending in
// "\r\n". Returns 1 when the whole text was built; 0 when there is nothing to copy (no rows or no
// columns) or memory ran out, and then `text` holds nothing.
int selection_text(const Viewer *viewer, StrBuf *text);

// The same text preceded by one line of the selected columns' titles (column_title: the names as
// the grid's header shows them), tab-separated and ending in "\r\n", for a copy that keeps the
// header. Returns 1 when the whole text was built; 0, with `text` holding nothing, when
// selection_text would give nothing.
int selection_text_with_titles(const Viewer *viewer, StrBuf *text);

// The same text (with `titles`, under its line of titles) appended to `text`, which the caller has
// set up (a spilling StrBuf that takes the text a piece at a time, base/strbuf.h). Returns 1 when
// the whole text went in; 0 as above (the StrBuf then freed).
int selection_text_into(const Viewer *viewer, bool titles, StrBuf *text);

// Bytes the selection's text takes at most, found from the row index alone (each selected row's
// whole line, with room for every tab and line end): what a block for the text, in UTF-8 or as as
// many UTF-16 units, must hold. 0 when there is nothing to copy, or when asked to stop
// (base/stop.h) on the way.
uint64_t selection_text_bound(const Viewer *viewer, bool titles);
