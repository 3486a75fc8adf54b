// A Markdown table: cells escaped so that none splits its row, in two passes (size, then bytes)
// only for values holding something to escape.
#include "export/byte_marks.h"
#include "export/export_job.h"
#include "export/short_copy.h"

#include <string.h>

static constexpr ByteMarks MARKDOWN_ESCAPED = byte_marks("\\|<\r\n", false, false);
static constexpr ByteMarks MARKDOWN_STOPS = byte_marks("\\|<\r\n\t", false, false);

// Writes the cell form of the len bytes at text into out when out is not null; returns its
// length either way. A backslash is doubled so that one ending a value cannot escape the cell's
// closing bar; "<" is escaped so that no value reads as HTML next to our <br>.
static size_t markdown_escape(const char *text, size_t len, char *out) {
    size_t o = 0;
    size_t i = 0;
    while (i < len) {
        const size_t run = first_marked(MARKDOWN_ESCAPED, text + i, len - i);
        if (out) memcpy(out + o, text + i, run);
        o += run;
        i += run;
        if (i == len) break;
        const char c = text[i++];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i < len && text[i] == '\n') ++i;
            if (out) memcpy(out + o, "<br>", 4);
            o += 4;
        } else {
            if (out) {
                out[o] = '\\';
                out[o + 1] = c;
            }
            o += 2;
        }
    }
    return o;
}

// Appends " value |" (the row's opening bar comes from the row's start).
static void markdown_add_cell(StrBuf *out, const CellValue &value) {
    const size_t len = value.null ? 0 : value.len;
    const bool plain = value.clean || first_marked(MARKDOWN_ESCAPED, value.text, len) == len;
    const size_t n = plain ? len : markdown_escape(value.text, len, nullptr);
    char *room = sb_prep(out, n + 3);
    if (!room) return;
    room[0] = ' ';
    if (plain)
        short_copy(room + 1, value.text, len);
    else
        markdown_escape(value.text, len, room + 1);
    memcpy(room + 1 + n, " |", 2);
    sb_commit(out, n + 3);
}

static void markdown_begin(ExportJob *job) {
    sb_add_len(job->out, "|", 1);
    for (int32_t c = job->sel.c0; c <= job->sel.c1; ++c)
        markdown_add_cell(job->out, job_column_name(job, c));
    sb_add_len(job->out, "\r\n|", 3);
    for (int32_t c = job->sel.c0; c <= job->sel.c1; ++c)
        sb_add(job->out, kind_is_number(job_kind(job, c)) ? " ---: |" : " --- |");
    sb_add_len(job->out, "\r\n", 2);
}

static void markdown_row_begin(ExportJob *job, bool) {
    sb_add_len(job->out, "|", 1);
}

static void markdown_cell(ExportJob *job, int32_t, ColumnKind, const CellValue &value) {
    markdown_add_cell(job->out, value);
}

static void markdown_row_end(ExportJob *job) {
    sb_add_len(job->out, "\r\n", 2);
}

static void markdown_end(ExportJob *) {}

// The steps job_add_rows takes for each row and cell.
namespace {
struct MarkdownFormat {
    static constexpr const ByteMarks &STOPS = MARKDOWN_STOPS;
    static constexpr auto row_begin = markdown_row_begin;
    static constexpr auto cell = markdown_cell;
    static constexpr auto row_end = markdown_row_end;
};
} // namespace

const FormatWriter MARKDOWN_WRITER = {markdown_begin, job_add_rows<MarkdownFormat>, markdown_end};
