// CSV as RFC 4180 writes it and PostgreSQL's COPY (FORMAT csv) reads it: quoting decided per field.
#include "export/byte_marks.h"
#include "export/export_job.h"
#include "export/short_copy.h"

#include <string.h>

static constexpr ByteMarks CSV_QUOTED = byte_marks(",\"\r\n", false, false);
static constexpr ByteMarks CSV_STOPS = byte_marks(",\"\r\n\t\\", false, false);

// Whether a non-NULL value must be quoted. Blanks at either end are quoted because readers
// that trim fields would lose them; "\." alone is how COPY's data ends, so it must not stand
// bare on a line of a one-column copy. A clean value holds no tab, backslash or byte that
// CSV_QUOTED marks, so only its ends need a look.
static bool csv_needs_quotes(const char *text, size_t len, bool clean) {
    if (len == 0) return true;
    if (clean) return text[0] == ' ' || text[len - 1] == ' ';
    const char first = text[0], last = text[len - 1];
    if (first == ' ' || first == '\t' || last == ' ' || last == '\t') return true;
    if (len == 2 && first == '\\' && last == '.') return true;
    return first_marked(CSV_QUOTED, text, len) < len;
}

// Appends one field (an empty one for NULL) after `sep` (sep_len bytes, possibly none).
static void csv_add_field(StrBuf *out, const char *sep, size_t sep_len, const CellValue &value) {
    if (value.null || !csv_needs_quotes(value.text, value.len, value.clean)) {
        const size_t n = value.null ? 0 : value.len;
        char *room = sb_prep(out, sep_len + n);
        if (!room) return;
        short_copy(room, sep, sep_len);
        short_copy(room + sep_len, value.text, n);
        sb_commit(out, sep_len + n);
        return;
    }
    size_t quotes = 0;
    for (const char *q = value.text, *end = value.text + value.len;
         (q = static_cast<const char *>(memchr(q, '"', static_cast<size_t>(end - q)))); ++q)
        ++quotes;
    char *room = sb_prep(out, sep_len + value.len + quotes + 2);
    if (!room) return;
    char *o = room;
    memcpy(o, sep, sep_len);
    o += sep_len;
    *o++ = '"';
    for (size_t i = 0; i < value.len; ++i) {
        *o++ = value.text[i];
        if (value.text[i] == '"') *o++ = '"';
    }
    *o++ = '"';
    sb_commit(out, static_cast<size_t>(o - room));
}

static void csv_begin(ExportJob *job) {
    for (int32_t c = job->sel.c0; c <= job->sel.c1; ++c) {
        const bool first = c == job->sel.c0;
        csv_add_field(job->out, ",", first ? 0 : 1, job_column_name(job, c));
    }
    sb_add_len(job->out, "\r\n", 2);
}

static void csv_row_begin(ExportJob *, bool) {}

static void csv_cell(ExportJob *job, int32_t i, ColumnKind, const CellValue &value) {
    csv_add_field(job->out, ",", i > 0 ? 1 : 0, value);
}

static void csv_row_end(ExportJob *job) {
    sb_add_len(job->out, "\r\n", 2);
}

static void csv_end(ExportJob *) {}

// The steps job_add_rows takes for each row and cell.
namespace {
struct CsvFormat {
    static constexpr const ByteMarks &STOPS = CSV_STOPS;
    static constexpr auto row_begin = csv_row_begin;
    static constexpr auto cell = csv_cell;
    static constexpr auto row_end = csv_row_end;
};
} // namespace

const FormatWriter CSV_WRITER = {csv_begin, job_add_rows<CsvFormat>, csv_end};
