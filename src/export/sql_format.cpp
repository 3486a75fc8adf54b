// INSERT statements: the head composed once, each value bare or a standard-conforming literal.
#include "export/export_job.h"
#include "document/header_line.h"
#include "grid/cells.h"

#include <string.h>

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

static void sql_add_literal(StrBuf *out, const char *text, size_t len) {
    size_t quotes = 0;
    for (const char *q = text, *end = text + len;
         (q = static_cast<const char *>(memchr(q, '\'', static_cast<size_t>(end - q)))); ++q)
        ++quotes;
    char *room = sb_prep(out, len + quotes + 2);
    if (!room) return;
    char *o = room;
    *o++ = '\'';
    if (quotes == 0) {
        memcpy(o, text, len);
        o += len;
    } else {
        for (size_t i = 0; i < len; ++i) {
            *o++ = text[i];
            if (text[i] == '\'') *o++ = '\'';
        }
    }
    *o++ = '\'';
    sb_commit(out, static_cast<size_t>(o - room));
}

// The head "INSERT INTO table (a, b) VALUES (" with the names as the header line writes them.
static void sql_begin(ExportJob *job) {
    char table[TABLE_NAME_MAX + 1];
    table_name_of(job->viewer->copy_line ? job->viewer->copy_line : "", table);
    sb_add(&job->fixed, "INSERT INTO ");
    sb_add(&job->fixed, table);
    sb_add(&job->fixed, " (");
    for (int32_t c = job->sel.c0; c <= job->sel.c1; ++c) {
        if (c > job->sel.c0) sb_add(&job->fixed, ", ");
        sb_add(&job->fixed, column_title(job->viewer, c));
    }
    sb_add(&job->fixed, ") VALUES (");
}

static void sql_row_begin(ExportJob *job, bool) {
    sb_add_len(job->out, job->fixed.data, job->fixed.len);
}

static void sql_cell(ExportJob *job, int32_t i, ColumnKind kind, CellValue value) {
    if (i > 0) sb_add_len(job->out, ", ", 2);
    if (value.null)
        sb_add_len(job->out, "NULL", 4);
    else if (kind_is_number(kind) && sql_bare_number(value.text, value.len))
        sb_add_len(job->out, value.text, value.len);
    else
        sql_add_literal(job->out, value.text, value.len);
}

static void sql_row_end(ExportJob *job) {
    sb_add_len(job->out, ");\r\n", 4);
}

static void sql_end(ExportJob *) {}

const FormatWriter SQL_INSERT_WRITER = {sql_begin, sql_row_begin, sql_cell, sql_row_end, sql_end};
