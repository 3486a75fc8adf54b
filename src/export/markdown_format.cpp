// A Markdown table: cells escaped so that a CommonMark reader with GitHub's tables reads each back
// as its value, in two passes (size, then bytes) only for values holding something to escape.
#include "base/utf8.h"
#include "export/byte_marks.h"
#include "export/export_job.h"
#include "export/short_copy.h"

#include <stdio.h>
#include <string.h>

// What a cell's text may not hold as it is: "\" (which would escape what follows it), "|" (a
// cell's end), "<" (HTML, or an autolink), "&" (perhaps an entity), "*", "_", "`", "~" and "]"
// (emphasis, code, strikethrough, a link's text ending), line breaks, and the other control
// bytes, the tab among them, which ends a field. Also the format's stops.
static constexpr ByteMarks MARKDOWN_ESCAPED = byte_marks("\\|<&*_`~]", true, false);

namespace {

bool is_alnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Whether a reader may trim the character from a cell's edge: the blanks of a table row (blank,
// tab, form feed) and Unicode's other white space that readers written in JavaScript or Python
// trim. Each is kept by writing it as a numeric character reference, which is read after the
// trimming. (A vertical tab, U+0085 and the information separators cannot be: CommonMark readers
// take their references for U+FFFD.)
bool trimmed_at_edge(uint32_t cp) {
    return cp == ' ' || cp == '\t' || cp == '\f' || cp == 0xA0 || cp == 0x1680 ||
           (cp >= 0x2000 && cp <= 0x200A) || cp == 0x2028 || cp == 0x2029 || cp == 0x202F ||
           cp == 0x205F || cp == 0x3000 || cp == 0xFEFF;
}

// Whether an edge byte may begin or end such a character: most values begin and end otherwise,
// and are written as they stand.
bool may_trim(char c) {
    return c == ' ' || c == '\t' || c == '\f' || (static_cast<unsigned char>(c) & 0x80);
}

// Whether the "&" at text[i] would begin an entity or a numeric character reference:
// "&" followed by "#", or by letters and digits up to a ";".
bool starts_reference(const char *text, size_t len, size_t i) {
    size_t j = i + 1;
    if (j < len && text[j] == '#') return true;
    while (j < len && is_alnum(text[j])) ++j;
    return j > i + 1 && j < len && text[j] == ';';
}

// Whether the "_" at text[i] may open or close emphasis: unless letters or digits stand on both
// sides of it, as in snake_case, where CommonMark leaves it as it is.
bool emphasis_underscore(const char *text, size_t len, size_t i) {
    return i == 0 || i + 1 == len || !is_alnum(text[i - 1]) || !is_alnum(text[i + 1]);
}

// Whether the "]" at text[i] may end a link's text: when a destination or a label follows it. A
// bracket alone, as in a JSON array, reads as itself.
bool ends_link_text(const char *text, size_t len, size_t i) {
    return i + 1 < len && (text[i + 1] == '(' || text[i + 1] == '[');
}

// Writes n bytes at o into out when out is not null; returns n.
size_t put(char *out, size_t o, const char *bytes, size_t n) {
    if (out) memcpy(out + o, bytes, n);
    return n;
}

// The character reference "&#N;" for cp.
size_t put_reference(char *out, size_t o, uint32_t cp) {
    char ref[16];
    const int n = snprintf(ref, sizeof ref, "&#%u;", static_cast<unsigned>(cp));
    return put(out, o, ref, static_cast<size_t>(n));
}

// The bytes [begin, end) of the len at text, escaped: a line break (LF, CR LF, CR) as <br>, a
// backslash before each marked byte that needs one; other control bytes as they are.
size_t escape_inside(const char *text, size_t len, size_t begin, size_t end, char *out, size_t o) {
    const size_t start = o;
    size_t i = begin;
    while (i < end) {
        const size_t run = first_marked(MARKDOWN_ESCAPED, text + i, end - i);
        o += put(out, o, text + i, run);
        i += run;
        if (i == end) break;
        const char c = text[i++];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i < end && text[i] == '\n') ++i;
            o += put(out, o, "<br>", 4);
            continue;
        }
        const bool escape = static_cast<unsigned char>(c) >= 0x20 &&
                            (c != '&' || starts_reference(text, len, i - 1)) &&
                            (c != '_' || emphasis_underscore(text, len, i - 1)) &&
                            (c != ']' || ends_link_text(text, len, i - 1));
        if (escape) o += put(out, o, "\\", 1);
        o += put(out, o, &c, 1);
    }
    return o - start;
}

// Writes the cell form of the len bytes at text into out when out is not null; returns its length
// either way. A character a reader would trim from either edge goes as a reference; inside, a
// backslash escapes each byte that would split the cell or be read as markup.
size_t markdown_escape(const char *text, size_t len, char *out) {
    size_t begin = 0, end = len;
    uint32_t head = 0, tail = 0;
    if (len > 0 && may_trim(text[0])) {
        uint32_t cp = 0;
        const size_t n = utf8_decode(text, len, &cp);
        if (trimmed_at_edge(cp)) {
            head = cp;
            begin = n;
        }
    }
    if (end > begin && may_trim(text[len - 1])) {
        const size_t last = utf8_char_floor(text, len, len - 1);
        uint32_t cp = 0;
        utf8_decode(text + last, len - last, &cp);
        if (last >= begin && trimmed_at_edge(cp)) {
            tail = cp;
            end = last;
        }
    }
    size_t o = 0;
    if (head) o += put_reference(out, o, head);
    o += escape_inside(text, len, begin, end, out, o);
    if (tail) o += put_reference(out, o, tail);
    return o;
}

// Appends " value |" (the row's opening bar comes from the row's start).
void markdown_add_cell(StrBuf *out, const CellValue &value) {
    const size_t len = value.null ? 0 : value.len;
    const bool plain = (len == 0 || (!may_trim(value.text[0]) && !may_trim(value.text[len - 1]))) &&
                       (value.clean || first_marked(MARKDOWN_ESCAPED, value.text, len) == len);
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

void markdown_begin(ExportJob *job) {
    sb_add_len(job->out, "|", 1);
    for (int32_t c = job->sel.c0; c <= job->sel.c1; ++c)
        markdown_add_cell(job->out, job_column_name(job, c));
    sb_add_len(job->out, "\r\n|", 3);
    for (int32_t c = job->sel.c0; c <= job->sel.c1; ++c)
        sb_add(job->out, kind_is_number(job_kind(job, c)) ? " ---: |" : " --- |");
    sb_add_len(job->out, "\r\n", 2);
}

void markdown_row_begin(ExportJob *job, bool) {
    sb_add_len(job->out, "|", 1);
}

void markdown_cell(ExportJob *job, int32_t, ColumnKind, const CellValue &value) {
    markdown_add_cell(job->out, value);
}

void markdown_row_end(ExportJob *job) {
    sb_add_len(job->out, "\r\n", 2);
}

void markdown_end(ExportJob *) {}

// The steps job_add_rows takes for each row and cell.
struct MarkdownFormat {
    static constexpr const ByteMarks &STOPS = MARKDOWN_ESCAPED;
    static constexpr auto row_begin = markdown_row_begin;
    static constexpr auto cell = markdown_cell;
    static constexpr auto row_end = markdown_row_end;
};

} // namespace

const FormatWriter MARKDOWN_WRITER = {markdown_begin, job_add_rows<MarkdownFormat>, markdown_end};
