// INSERT statements: the head composed once, each value bare or a standard-conforming literal.
#include "export/byte_marks.h"
#include "export/export_job.h"
#include "export/short_copy.h"
#include "document/header_line.h"
#include "export/identifier.h"

#include <string.h>

static constexpr ByteMarks SQL_STOPS = byte_marks("'\t\\", false, false);

static bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Whether a number column's text may go into the statement bare: a plain decimal literal,
// -?(digits[.digits]|.digits)[e[+-]digits], so that nothing else (a second minus, which starts a
// comment, or any other SQL) ever stands outside quotes. A negative zero is quoted too: bare, it
// reads as minus the integer 0, and a float column would lose its sign.
static bool sql_bare_number(const char *text, size_t len) {
    const char *p = text, *end = text + len;
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    size_t digits = 0;
    bool nonzero = false;
    for (; p < end && is_digit(*p); ++p, ++digits) nonzero |= *p != '0';
    if (p < end && *p == '.')
        for (++p; p < end && is_digit(*p); ++p, ++digits) nonzero |= *p != '0';
    if (digits == 0) return false;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < end && (*p == '+' || *p == '-')) ++p;
        if (p == end || !is_digit(*p)) return false;
        while (p < end && is_digit(*p)) ++p;
    }
    return p == end && (nonzero || !negative);
}

// Appends `sep` (sep_len bytes) and the value as a literal in single quotes, quotes doubled (a
// clean value holds none), or bare.
static void sql_add_value(StrBuf *out, size_t sep_len, const CellValue &value, bool bare) {
    size_t quotes = 0;
    if (!value.clean && !bare)
        for (const char *q = value.text, *end = value.text + value.len;
             (q = static_cast<const char *>(memchr(q, '\'', static_cast<size_t>(end - q)))); ++q)
            ++quotes;
    const size_t wrap = bare ? 0 : 1;
    const size_t n = sep_len + value.len + quotes + 2 * wrap;
    char *room = sb_prep(out, n);
    if (!room) return;
    char *o = room;
    if (sep_len) {
        o[0] = ',';
        o[1] = ' ';
        o += 2;
    }
    if (!bare) *o++ = '\'';
    if (quotes == 0) {
        short_copy(o, value.text, value.len);
        o += value.len;
    } else {
        for (size_t i = 0; i < value.len; ++i) {
            *o++ = value.text[i];
            if (value.text[i] == '\'') *o++ = '\'';
        }
    }
    if (!bare) *o++ = '\'';
    sb_commit(out, n);
}

// The head "INSERT INTO table (a, b) VALUES (" with the names as the header line writes them, a
// column it names not as PostgreSQL names a VALUES list's column (identifier.h); or, when it names
// none of the selected columns, "INSERT INTO table VALUES (", the values then going to the table's
// columns in their order.
static void sql_begin(ExportJob *job) {
    const Viewer *v = job->viewer;
    char table[TABLE_NAME_MAX + 1];
    table_name_of(v->copy_line ? v->copy_line : "", table);
    sb_add(&job->fixed, "INSERT INTO ");
    sb_add(&job->fixed, table);
    bool named = false;
    for (int32_t c = job->sel.c0; c <= job->sel.c1 && !named; ++c)
        named = column_written_name(v, c) != nullptr;
    if (named) {
        sb_add(&job->fixed, " (");
        for (int32_t c = job->sel.c0; c <= job->sel.c1; ++c) {
            if (c > job->sel.c0) sb_add(&job->fixed, ", ");
            const char *written = column_written_name(v, c);
            if (written)
                sb_add(&job->fixed, written);
            else
                add_column_name(&job->fixed, v, c);
        }
        sb_add(&job->fixed, ")");
    }
    sb_add(&job->fixed, " VALUES (");
}

static void sql_row_begin(ExportJob *job, bool) {
    sb_add_len(job->out, job->fixed.data, job->fixed.len);
}

static void sql_cell(ExportJob *job, int32_t i, ColumnKind kind, const CellValue &value) {
    const size_t sep_len = i > 0 ? 2 : 0;
    if (value.null)
        sql_add_value(job->out, sep_len, {"NULL", 4, false, true}, true);
    else
        sql_add_value(job->out, sep_len, value,
                      kind_is_number(kind) && sql_bare_number(value.text, value.len));
}

static void sql_row_end(ExportJob *job) {
    sb_add_len(job->out, ");\r\n", 4);
}

static void sql_end(ExportJob *) {}

// The steps job_add_rows takes for each row and cell.
namespace {
struct SqlInsertFormat {
    static constexpr const ByteMarks &STOPS = SQL_STOPS;
    static constexpr auto row_begin = sql_row_begin;
    static constexpr auto cell = sql_cell;
    static constexpr auto row_end = sql_row_end;
};
} // namespace

const FormatWriter SQL_INSERT_WRITER = {sql_begin, job_add_rows<SqlInsertFormat>, sql_end};
