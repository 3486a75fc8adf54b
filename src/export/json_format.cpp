// JSON: each row an object whose keys are composed once; strings escaped in two passes (size,
// then bytes) only when they hold something to escape.
#include "export/byte_marks.h"
#include "export/export_job.h"
#include "export/json_layout.h"
#include "export/json_scan.h"
#include "export/short_copy.h"

#include <string.h>

// Also the format's stops: the tab is a control character, so one table serves both.
static constexpr ByteMarks JSON_ESCAPED = byte_marks("\"\\", true, true);

// Writes the escaped form of the len bytes at text into out when out is not null; returns its
// length either way. Ill-formed UTF-8 becomes U+FFFD, one for each maximal subpart (utf8.h).
static size_t json_escape(const char *text, size_t len, char *out) {
    static const char HEX[] = "0123456789abcdef";
    size_t o = 0;
    size_t i = 0;
    while (i < len) {
        const size_t run = first_marked(JSON_ESCAPED, text + i, len - i);
        if (out) memcpy(out + o, text + i, run);
        o += run;
        i += run;
        if (i == len) break;
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            size_t n = 0;
            const bool ill = !utf8_well_formed_at(text + i, len - i, &n);
            if (out) memcpy(out + o, ill ? "\xEF\xBF\xBD" : text + i, ill ? 3 : n);
            o += ill ? 3 : n;
            i += n;
            continue;
        }
        const char *short_form = c == '"'    ? "\\\""
                                 : c == '\\' ? "\\\\"
                                 : c == '\b' ? "\\b"
                                 : c == '\f' ? "\\f"
                                 : c == '\n' ? "\\n"
                                 : c == '\r' ? "\\r"
                                 : c == '\t' ? "\\t"
                                             : nullptr;
        if (short_form) {
            if (out) memcpy(out + o, short_form, 2);
            o += 2;
        } else {
            if (out) {
                memcpy(out + o, "\\u00", 4);
                out[o + 4] = HEX[c >> 4];
                out[o + 5] = HEX[c & 15];
            }
            o += 6;
        }
        ++i;
    }
    return o;
}

// Appends the value as a JSON string, quotes included.
static void json_add_string(StrBuf *out, const char *text, size_t len) {
    const bool plain = first_marked(JSON_ESCAPED, text, len) == len;
    const size_t n = plain ? len : json_escape(text, len, nullptr);
    char *room = sb_prep(out, n + 2);
    if (!room) return;
    room[0] = '"';
    if (plain)
        memcpy(room + 1, text, len);
    else
        json_escape(text, len, room + 1);
    room[n + 1] = '"';
    sb_commit(out, n + 2);
}

// The keys, one text a column: "name": with the name escaped as any string, after ", " but for
// the first column's.
static void json_begin(ExportJob *job) {
    sb_add_len(job->out, "[\r\n", 3);
    if (!job_alloc_fixed_ends(job)) return;
    for (int32_t c = job->sel.c0; c <= job->sel.c1; ++c) {
        const CellValue name = job_column_name(job, c);
        if (c > job->sel.c0) sb_add_len(&job->fixed, ", ", 2);
        json_add_string(&job->fixed, name.text, name.len);
        sb_add_len(&job->fixed, ": ", 2);
        job->fixed_ends[c - job->sel.c0] = job->fixed.len;
    }
}

static void json_row_begin(ExportJob *job, bool first) {
    if (first)
        sb_add_len(job->out, "  {", 3);
    else
        sb_add_len(job->out, ",\r\n  {", 6);
}

// Appends the key and a text that needs no escaping, in quotes when `quoted`, in one growth.
static void json_add_plain(StrBuf *out, const char *key, size_t key_len, const char *text,
                           size_t len, bool quoted) {
    const size_t n = key_len + len + (quoted ? 2 : 0);
    char *o = sb_prep(out, n);
    if (!o) return;
    short_copy(o, key, key_len);
    o += key_len;
    if (quoted) *o++ = '"';
    short_copy(o, text, len);
    if (quoted) o[len] = '"';
    sb_commit(out, n);
}

static void json_cell(ExportJob *job, int32_t i, ColumnKind kind, const CellValue &value) {
    StrBuf *out = job->out;
    size_t key_len = 0;
    const char *key = job_fixed_text(job, i, &key_len);
    if (value.null) {
        json_add_plain(out, key, key_len, "null", 4, false);
    } else if (kind_is_number(kind) && json_is_number(value.text, value.len)) {
        json_add_plain(out, key, key_len, value.text, value.len, false);
    } else if (kind == KIND_BOOLEAN && value.len == 1 &&
               (value.text[0] == 't' || value.text[0] == 'f')) {
        const bool yes = value.text[0] == 't';
        json_add_plain(out, key, key_len, yes ? "true" : "false", yes ? 4 : 5, false);
    } else if (kind != KIND_JSON && value.clean) {
        json_add_plain(out, key, key_len, value.text, value.len, true);
    } else {
        sb_add_len(out, key, key_len);
        const JsonCheck check =
            kind == KIND_JSON ? json_check(value.text, value.len) : JSON_INVALID;
        if (check == JSON_VALID)
            json_add_compact(out, value.text, value.len);
        else if (check == JSON_INVALID)
            json_add_string(out, value.text, value.len);
        else
            job->failed = true;
    }
}

static void json_row_end(ExportJob *job) {
    sb_add_len(job->out, "}", 1);
}

static void json_end(ExportJob *job) {
    sb_add_len(job->out, "\r\n]\r\n", 5);
}

// The steps job_add_rows takes for each row and cell.
namespace {
struct JsonFormat {
    static constexpr const ByteMarks &STOPS = JSON_ESCAPED;
    static constexpr auto row_begin = json_row_begin;
    static constexpr auto cell = json_cell;
    static constexpr auto row_end = json_row_end;
};
} // namespace

const FormatWriter JSON_WRITER = {json_begin, job_add_rows<JsonFormat>, json_end};
