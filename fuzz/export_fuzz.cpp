// Fuzz target: any bytes as a dump container, a rectangle of it selected and column kinds chosen
// from the input's last bytes, copied in each format and read back by a reader of that format
// written here: CSV, JSON and the INSERT statements' SQL literals must give back the same cells
// (NULL apart from empty, json columns' embedded JSON compared token by token), and Markdown
// keeps one line per row with a bar between every two cells; the grid's cells, the sort's fields,
// Ctrl+C's text and the value view must find each selected field where the same plain split of
// the row's line at its tabs does. The whole input is also a field
// decoded against a byte-at-a-time decoder and a JSON text checked against a plain validator
// here, and when valid, indented and read back to the same tokens.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "base/utf8.h"
#include "document/load.h"
#include "export/copy_as.h"
#include "export/field_value.h"
#include "export/json_layout.h"
#include "export/value_view.h"
#include "fuzz_check.h"
#include "escape_reference.h"
#include "fuzz_input.h"
#include "grid/cells.h"
#include "grid/cursor.h"
#include "grid/selection_text.h"
#include "grid/shown_rows.h"
#include "order/sort_column.h"
#include "document/header_line.h"

namespace {

// ---- References: plain loops that the code under test must agree with. ----

// A cell as the formats must give it back: null, or its decoded bytes.
struct Cell {
    bool null;
    std::string text;
    bool operator==(const Cell &o) const { return null == o.null && (null || text == o.text); }
};

// A shown row's raw fields by plain splitting of its line at tabs; a carriage return before the
// line feed stays, the last field's last byte.
std::vector<std::string> raw_fields(const Viewer *v, int32_t r) {
    const RowLine shown = shown_line(v, r);
    std::vector<std::string> fields(1);
    for (const char *p = shown.start; p < shown.end; ++p) {
        if (*p == '\t')
            fields.emplace_back();
        else
            fields.back() += *p;
    }
    return fields;
}

// The selected cells as every copy format must give them back.
std::vector<std::vector<Cell>> expected_cells(const Viewer *v, SelectionRect s) {
    std::vector<std::vector<Cell>> rows;
    for (int32_t r = s.r0; r <= s.r1; ++r) {
        const std::vector<std::string> fields = raw_fields(v, r);
        std::vector<Cell> row;
        for (int32_t c = s.c0; c <= s.c1; ++c) {
            if (static_cast<size_t>(c) >= fields.size() || fields[c] == "\\N")
                row.push_back({true, ""});
            else
                row.push_back({false, copy_decoded(fields[c])});
        }
        rows.push_back(row);
    }
    return rows;
}

// The name of column c in the copy formats: the header's name unquoted, or PostgreSQL's name for
// a VALUES list's column when the header gives none (none at all, or an empty one).
std::string name_of(const Viewer *v, int32_t c);

std::string unquoted_name(const char *written) {
    std::string w = written, out;
    if (w.empty() || w[0] != '"') return w;
    for (size_t i = 1; i < w.size(); ++i) {
        if (w[i] != '"') {
            out += w[i];
        } else if (i + 1 < w.size() && w[i + 1] == '"') {
            out += '"';
            ++i;
        } else {
            return out + w.substr(i + 1);
        }
    }
    return out;
}

const char *written_name(const Viewer *v, int32_t c) {
    const char *written = c < MAX_COLS ? v->col_names[c] : nullptr;
    return written && *written && std::string(written) != "\"\"" ? written : nullptr;
}

std::string name_of(const Viewer *v, int32_t c) {
    const char *written = written_name(v, c);
    return written ? unquoted_name(written) : "column" + std::to_string(c + 1);
}

// The text with each ill-formed stretch (utf8_decode's maximal subparts) as U+FFFD.
std::string well_formed(const std::string &s) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        uint32_t cp = 0;
        size_t n = utf8_decode(s.data() + i, s.size() - i, &cp);
        bool real = cp != 0xFFFD || s.compare(i, 3, "\xEF\xBF\xBD") == 0;
        out += real ? s.substr(i, n) : "\xEF\xBF\xBD";
        i += n;
    }
    return out;
}

bool digits(const std::string &s, size_t *i) {
    size_t start = *i;
    while (*i < s.size() && s[*i] >= '0' && s[*i] <= '9') ++*i;
    return *i > start;
}

bool is_json_number(const std::string &s) {
    size_t i = 0;
    if (i < s.size() && s[i] == '-') ++i;
    if (i < s.size() && s[i] == '0')
        ++i;
    else if (i >= s.size() || s[i] < '1' || s[i] > '9' || !digits(s, &i))
        return false;
    if (i < s.size() && s[i] == '.' && (++i, !digits(s, &i))) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        if (!digits(s, &i)) return false;
    }
    return i == s.size();
}

// JSON's tokens as written, by a lexer of its own; false on anything that is not JSON's.
bool json_tokens(const std::string &s, std::vector<std::string> *tokens) {
    size_t i = 0;
    while (true) {
        while (i < s.size() && strchr(" \t\r\n", s[i]) && s[i]) ++i;
        if (i == s.size()) return true;
        size_t start = i;
        char c = s[i];
        if (strchr("{}[]:,", c) && c) {
            ++i;
        } else if (c == '"') {
            for (++i;; ++i) {
                if (i >= s.size() || static_cast<unsigned char>(s[i]) < 0x20) return false;
                if (s[i] == '"') break;
                if (s[i] == '\\') {
                    if (++i >= s.size()) return false;
                    if (s[i] == 'u') {
                        for (int k = 1; k <= 4; ++k)
                            if (i + k >= s.size() ||
                                !isxdigit(static_cast<unsigned char>(s[i + k])))
                                return false;
                        i += 4;
                    } else if (!s[i] || !strchr("\"\\/bfnrt", s[i])) {
                        return false;
                    }
                }
            }
            ++i;
            std::string body = s.substr(start, i - start);
            if (well_formed(body) != body) return false;
        } else {
            while (i < s.size() && !strchr(" \t\r\n{}[]:,\"", s[i])) ++i;
            std::string word = s.substr(start, i - start);
            if (word != "true" && word != "false" && word != "null" && !is_json_number(word))
                return false;
            if (word.empty()) return false;
        }
        tokens->push_back(s.substr(start, i - start));
    }
}

// Whether the tokens are exactly one value: a grammar walk with an explicit stack.
bool json_grammar(const std::vector<std::string> &t) {
    std::vector<char> open;
    size_t i = 0;
    auto value_start = [&](size_t k) { return k < t.size() && strchr("]}:,", t[k][0]) == nullptr; };
    if (!value_start(0)) return false;
    while (true) {
        // at a value
        if (t[i] == "[" || t[i] == "{") {
            open.push_back(t[i][0]);
            ++i;
            if (i < t.size() && (t[i] == "]" || t[i] == "}")) {
                if ((t[i] == "]") != (open.back() == '[')) return false;
            } else {
                if (open.back() == '{') {
                    if (i + 1 >= t.size() || t[i][0] != '"' || t[i + 1] != ":") return false;
                    i += 2;
                }
                if (!value_start(i)) return false;
                continue;
            }
        } else {
            ++i; // a scalar
            if (open.empty()) return i == t.size();
            if (i >= t.size()) return false;
        }
        // after a value inside brackets
        while (true) {
            if (t[i] == "]" || t[i] == "}") {
                if ((t[i] == "]") != (open.back() == '[')) return false;
                open.pop_back();
                ++i;
                if (open.empty()) return i == t.size();
                if (i >= t.size()) return false;
                continue;
            }
            if (t[i] != ",") return false;
            ++i;
            if (open.back() == '{') {
                if (i + 1 >= t.size() || t[i][0] != '"' || t[i + 1] != ":") return false;
                i += 2;
            }
            if (!value_start(i)) return false;
            break;
        }
    }
}

bool json_valid(const std::string &s, std::vector<std::string> *tokens) {
    tokens->clear();
    return json_tokens(s, tokens) && !tokens->empty() && json_grammar(*tokens);
}

// json_check against the validator here, and a valid text's indented layout read back.
void check_json_text(const std::string &text) {
    std::vector<std::string> tokens;
    const bool valid = json_valid(text, &tokens);
    FUZZ_CHECK((json_check(text.data(), text.size()) == JSON_VALID) == valid);
    StrBuf out;
    const JsonCheck indented = json_indent(text.data(), text.size(), &out);
    FUZZ_CHECK((indented == JSON_VALID) == valid);
    if (!valid) return;
    std::vector<std::string> back;
    FUZZ_CHECK(json_valid(std::string(out.data, out.len), &back) && back == tokens);
    sb_drop(&out);
}

// What Ctrl+C copies of a raw field, a byte at a time: its first CELL_SCRATCH - 1 bytes, "\t" as a
// blank, "\n" and "\r" dropped, a backslash before any other byte giving that byte, a final lone
// one kept; a NULL as nothing.
std::string grid_copied(std::string raw) {
    if (raw == "\\N") return "";
    if (raw.size() > CELL_SCRATCH - 1) raw.resize(CELL_SCRATCH - 1);
    std::string out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 == raw.size()) {
            out += raw[i];
            continue;
        }
        const char x = raw[++i];
        if (x == 't')
            out += ' ';
        else if (x != 'n' && x != 'r')
            out += x;
    }
    return out;
}

// Every other reader of the rows finds each selected field where the plain split does: the grid's
// cell text, the sort's field (found from its row, and again from its place), Ctrl+C's text and
// the value view's value. (The copy formats are read back against the same split.)
void check_readers_agree(const Viewer *v, SelectionRect s) {
    std::string copy_want;
    for (int32_t r = s.r0; r <= s.r1; ++r) {
        const std::vector<std::string> fields = raw_fields(v, r);
        for (int32_t c = s.c0; c <= s.c1; ++c) {
            const bool has = static_cast<size_t>(c) < fields.size();
            const std::string raw = has ? fields[c] : "";
            const bool null = !has || raw == "\\N";

            char room[64];
            cell_text(v, r, c, room, sizeof room);
            FUZZ_CHECK(room == (!has ? "" : null ? "null" : raw.substr(0, sizeof room - 1)));

            const SortColumn column = sort_column_of(v, c, KIND_TEXT);
            size_t len = 0, again_len = 0;
            uint32_t offset = 0;
            const char *field = sort_column_field(&column, shown_file_row(v, r), &len, &offset);
            FUZZ_CHECK(has ? field && std::string(field, len) == raw : !field);
            if (field) {
                const char *again = sort_column_field_at(&column, offset, &again_len);
                FUZZ_CHECK(again == field && again_len == len);
            }

            StrBuf value;
            const ValueShown shown = cell_value(v, r, c, &value);
            FUZZ_CHECK(shown == (null ? VALUE_NULL : VALUE_TEXT));
            if (shown == VALUE_TEXT) {
                FUZZ_CHECK(std::string(value.data, value.len) == copy_decoded(raw));
                sb_drop(&value);
            }
            copy_want += (has ? grid_copied(raw) : "") + (c == s.c1 ? "\r\n" : "\t");
        }
    }
    StrBuf text;
    FUZZ_CHECK(selection_text(v, &text) == 1);
    FUZZ_CHECK(std::string(text.data, text.len) == copy_want);
    sb_drop(&text);
}

// ---- Readers of the formats. ----

// RFC 4180 records: a quoted field may hold anything, quotes doubled; an unquoted one no quote,
// CR or LF; records end in CR LF. An unquoted empty field is NULL.
std::vector<std::vector<Cell>> read_csv(const std::string &s) {
    std::vector<std::vector<Cell>> records;
    size_t i = 0;
    while (i < s.size()) {
        std::vector<Cell> record;
        while (true) {
            Cell cell{false, ""};
            if (i < s.size() && s[i] == '"') {
                for (++i;; ++i) {
                    FUZZ_CHECK(i < s.size());
                    if (s[i] == '"') {
                        if (i + 1 < s.size() && s[i + 1] == '"') {
                            cell.text += '"';
                            ++i;
                        } else {
                            ++i;
                            break;
                        }
                    } else {
                        cell.text += s[i];
                    }
                }
            } else {
                while (i < s.size() && s[i] != ',' && s[i] != '\r') {
                    FUZZ_CHECK(s[i] != '"' && s[i] != '\n');
                    cell.text += s[i++];
                }
                cell.null = cell.text.empty();
                // What a reader that trims, or COPY's end-of-data marker, would misread.
                FUZZ_CHECK(cell.text != "\\.");
                FUZZ_CHECK(cell.null || (cell.text[0] != ' ' && cell.text.back() != ' '));
            }
            record.push_back(cell);
            FUZZ_CHECK(i < s.size());
            if (s[i] == ',') {
                ++i;
                continue;
            }
            FUZZ_CHECK(s.compare(i, 2, "\r\n") == 0);
            i += 2;
            break;
        }
        records.push_back(record);
    }
    return records;
}

void check_csv(const Viewer *v, SelectionRect s, const std::vector<std::vector<Cell>> &want,
               const std::string &text) {
    std::vector<std::vector<Cell>> got = read_csv(text);
    FUZZ_CHECK(got.size() == want.size() + 1);
    std::vector<Cell> header;
    for (int32_t c = s.c0; c <= s.c1; ++c) header.push_back({false, name_of(v, c)});
    for (Cell &name : got[0]) name.null = false; // an empty name reads as NULL
    FUZZ_CHECK(got[0] == header);
    for (size_t r = 0; r < want.size(); ++r) FUZZ_CHECK(got[r + 1] == want[r]);
}

// The value of a JSON string token, escapes read.
std::string json_string_value(const std::string &token) {
    std::string out;
    for (size_t i = 1; i + 1 < token.size(); ++i) {
        if (token[i] != '\\') {
            out += token[i];
            continue;
        }
        char x = token[++i];
        const char *from = "\"\\/bfnrt", *to = "\"\\/\b\f\n\r\t";
        if (x != 'u') {
            out += to[strchr(from, x) - from];
            continue;
        }
        unsigned cp = static_cast<unsigned>(std::stoul(token.substr(i + 1, 4), nullptr, 16));
        i += 4;
        FUZZ_CHECK(cp < 0x80); // the writer escapes only control characters
        out += static_cast<char>(cp);
    }
    return out;
}

bool is_plain_decimal(const std::string &t) {
    size_t i = t.size() && t[0] == '-' ? 1 : 0;
    size_t before = i;
    bool any = digits(t, &i);
    if (i < t.size() && t[i] == '.') {
        ++i;
        any = digits(t, &i) || any;
    }
    if (!any) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (!digits(t, &i)) return false;
    }
    const std::string mantissa = t.substr(0, t.find_first_of("eE"));
    const bool negative_zero =
        before == 1 && mantissa.find_first_of("123456789") == std::string::npos;
    return i == t.size() && !negative_zero;
}

void check_json(const Viewer *v, const ColumnType *types, SelectionRect s,
                const std::vector<std::vector<Cell>> &want, const std::string &text) {
    std::vector<std::string> t;
    FUZZ_CHECK(json_valid(text, &t));
    size_t i = 0;
    FUZZ_CHECK(t[i++] == "[");
    for (size_t r = 0; r < want.size(); ++r) {
        FUZZ_CHECK(t[i++] == "{");
        for (int32_t c = s.c0; c <= s.c1; ++c) {
            if (c > s.c0) FUZZ_CHECK(t[i++] == ",");
            FUZZ_CHECK(json_string_value(t[i++]) == well_formed(name_of(v, c)));
            FUZZ_CHECK(t[i++] == ":");
            const Cell &cell = want[r][c - s.c0];
            const ColumnKind kind = types[c].kind;
            std::vector<std::string> embedded;
            if (cell.null) {
                FUZZ_CHECK(t[i++] == "null");
            } else if (kind_is_number(kind) && is_json_number(cell.text)) {
                FUZZ_CHECK(t[i++] == cell.text);
            } else if (kind == KIND_BOOLEAN && (cell.text == "t" || cell.text == "f")) {
                FUZZ_CHECK(t[i++] == (cell.text == "t" ? "true" : "false"));
            } else if (kind == KIND_JSON && json_valid(cell.text, &embedded)) {
                for (const std::string &token : embedded) FUZZ_CHECK(t[i++] == token);
            } else {
                FUZZ_CHECK(t[i][0] == '"' && json_string_value(t[i]) == well_formed(cell.text));
                ++i;
            }
        }
        FUZZ_CHECK(t[i++] == "}");
        if (r + 1 < want.size()) FUZZ_CHECK(t[i++] == ",");
    }
    FUZZ_CHECK(t[i++] == "]" && i == t.size());
}

// INSERT statements read as SQL: the head, then each value NULL, a bare number or a literal.
void check_insert(const Viewer *v, const ColumnType *types, SelectionRect s,
                  const std::vector<std::vector<Cell>> &want, const std::string &text) {
    std::string columns;
    bool named = false;
    for (int32_t c = s.c0; c <= s.c1; ++c) {
        const char *written = written_name(v, c);
        named = named || written;
        columns += std::string(c > s.c0 ? ", " : "") + (written ? written : name_of(v, c));
    }
    char table[TABLE_NAME_MAX + 1];
    table_name_of(v->copy_line, table);
    const std::string head =
        "INSERT INTO " + std::string(table) + (named ? " (" + columns + ")" : "") + " VALUES (";
    size_t i = 0;
    for (size_t r = 0; r < want.size(); ++r) {
        FUZZ_CHECK(text.compare(i, head.size(), head) == 0);
        i += head.size();
        for (int32_t c = s.c0; c <= s.c1; ++c) {
            if (c > s.c0) {
                FUZZ_CHECK(text.compare(i, 2, ", ") == 0);
                i += 2;
            }
            const Cell &cell = want[r][c - s.c0];
            if (text[i] == '\'') {
                std::string literal;
                for (++i;; ++i) {
                    FUZZ_CHECK(i < text.size());
                    if (text[i] == '\'' && (i + 1 >= text.size() || text[i + 1] != '\'')) break;
                    if (text[i] == '\'') ++i;
                    literal += text[i];
                }
                ++i;
                FUZZ_CHECK(!cell.null && literal == cell.text);
                FUZZ_CHECK(!kind_is_number(types[c].kind) || !is_plain_decimal(cell.text));
            } else {
                size_t end = text.find_first_of(",)", i);
                FUZZ_CHECK(end != std::string::npos);
                const std::string bare = text.substr(i, end - i);
                i = end;
                if (bare == "NULL") {
                    FUZZ_CHECK(cell.null);
                } else {
                    FUZZ_CHECK(!cell.null && bare == cell.text && kind_is_number(types[c].kind));
                    FUZZ_CHECK(is_plain_decimal(bare));
                }
            }
        }
        FUZZ_CHECK(text.compare(i, 4, ");\r\n") == 0);
        i += 4;
    }
    FUZZ_CHECK(i == text.size());
}

// The UTF-8 of a code point (the references written are of characters, never surrogates).
std::string utf8_of(unsigned cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Whether a cell's written text begins or ends with what a Markdown table reader trims from a
// cell: blank, tab, form feed, or Unicode's white space that JavaScript's and Python's trims drop
// and a character reference can stand for.
bool trimmable_edge(const std::string &cell) {
    static const char *const spaces[] = {" ",
                                         "\t",
                                         "\f",
                                         "\xC2\xA0",
                                         "\xE1\x9A\x80",
                                         "\xE2\x80\xA8",
                                         "\xE2\x80\xA9",
                                         "\xE2\x80\xAF",
                                         "\xE2\x81\x9F",
                                         "\xE3\x80\x80",
                                         "\xEF\xBB\xBF"};
    for (const char *space : spaces)
        if (cell.starts_with(space) || cell.ends_with(space)) return true;
    for (unsigned cp = 0x2000; cp <= 0x200A; ++cp)
        if (cell.starts_with(utf8_of(cp)) || cell.ends_with(utf8_of(cp))) return true;
    return false;
}

bool ascii_alnum(char c) {
    return isalnum(static_cast<unsigned char>(c)) && !(c & 0x80);
}

// A cell's written text read as a CommonMark reader reads inline text, checked to hold no markup:
// a backslash before punctuation gives it; "<br>" a line break (no other "<"); "&#N;" the
// character N; no "*", "`" or "~" but escaped, a "_" only inside a word, a "&" that begins no
// reference, a "]" that ends no link text.
std::string markdown_cell_text(const std::string &written) {
    std::string text;
    for (size_t i = 0; i < written.size(); ++i) {
        const char c = written[i];
        if (c == '\\') {
            FUZZ_CHECK(i + 1 < written.size() &&
                       ispunct(static_cast<unsigned char>(written[i + 1])));
            text += written[++i];
        } else if (written.compare(i, 4, "<br>") == 0) {
            text += '\n';
            i += 3;
        } else if (written.compare(i, 2, "&#") == 0) {
            const size_t semi = written.find(';', i);
            FUZZ_CHECK(semi != std::string::npos && semi > i + 2 && semi <= i + 9);
            const std::string digits = written.substr(i + 2, semi - i - 2);
            FUZZ_CHECK(digits.find_first_not_of("0123456789") == std::string::npos);
            text += utf8_of(static_cast<unsigned>(std::stoul(digits)));
            i = semi;
        } else {
            FUZZ_CHECK(c != '<' && c != '*' && c != '`' && c != '~');
            FUZZ_CHECK(c != '_' || (i > 0 && i + 1 < written.size() &&
                                    ascii_alnum(written[i - 1]) && ascii_alnum(written[i + 1])));
            if (c == '&') {
                size_t j = i + 1;
                while (j < written.size() && ascii_alnum(written[j])) ++j;
                FUZZ_CHECK(j == i + 1 || j == written.size() || written[j] != ';');
            }
            FUZZ_CHECK(c != ']' || i + 1 == written.size() ||
                       (written[i + 1] != '(' && written[i + 1] != '['));
            text += c;
        }
    }
    return text;
}

// Markdown: one line per row after the header and separator, each with a bar before, between and
// after its cells once backslash escapes are skipped; each cell, its edges left as a reader trims
// them, reads back to its name or value with line breaks as LF.
void check_markdown(const Viewer *v, SelectionRect s, const std::vector<std::vector<Cell>> &want,
                    const std::string &text) {
    const int32_t columns = s.c1 - s.c0 + 1;
    std::vector<std::string> lines;
    for (size_t at = 0, end; at < text.size(); at = end + 2) {
        end = text.find("\r\n", at);
        FUZZ_CHECK(end != std::string::npos);
        lines.push_back(text.substr(at, end - at));
    }
    FUZZ_CHECK(lines.size() == want.size() + 2);
    for (size_t l = 0; l < lines.size(); ++l) {
        const std::string &line = lines[l];
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
        std::vector<std::string> cells;
        std::string cell;
        int bars = 0;
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\\') {
                FUZZ_CHECK(i + 1 < line.size());
                cell += line.substr(i++, 2);
            } else if (line[i] == '|') {
                if (bars++ > 0) cells.push_back(cell);
                cell.clear();
            } else {
                cell += line[i];
            }
        }
        FUZZ_CHECK(bars == columns + 1 && line[0] == '|' && line.back() == '|');
        if (l == 1) continue;
        for (int32_t c = 0; c < columns; ++c) {
            const std::string &written = cells[c];
            FUZZ_CHECK(written.size() >= 2 && written.front() == ' ' && written.back() == ' ');
            const std::string inner = written.substr(1, written.size() - 2);
            FUZZ_CHECK(!trimmable_edge(inner));
            std::string value = l == 0 ? name_of(v, s.c0 + c) : want[l - 2][c].text, breaks;
            for (size_t i = 0; i < value.size(); ++i) {
                if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
                breaks += value[i] == '\r' ? '\n' : value[i];
            }
            FUZZ_CHECK(markdown_cell_text(inner) == breaks);
        }
    }
}

std::string copied(const Viewer *v, const ColumnType *types, CopyFormat format) {
    StrBuf out;
    FUZZ_CHECK(copy_as(v, types, format, &out) == 1);
    FUZZ_CHECK(out.data[out.len] == '\0');
    std::string text(out.data, out.len);
    sb_drop(&out);
    return text;
}

const ColumnKind KINDS[] = {KIND_TEXT,    KIND_INTEGER, KIND_NUMERIC, KIND_FLOAT,
                            KIND_BOOLEAN, KIND_JSON,    KIND_DATE};

void check_copies(Viewer *v, const uint8_t *data, size_t size) {
    if (v->row_count <= 0 || v->col_count <= 0) {
        StrBuf out;
        FUZZ_CHECK(copy_as(v, nullptr, COPY_CSV, &out) == 0 && out.data == nullptr);
        return;
    }
    // The steering bytes: the rectangle's corners and the kinds' pattern.
    uint8_t steer[6] = {0, 255, 0, 255, 0, 1};
    for (size_t k = 0; k < 6 && k < size; ++k) steer[k] = data[size - 1 - k];
    v->anchor_row = steer[0] % v->row_count;
    v->cur_row = (v->row_count - 1 - steer[1] % v->row_count);
    v->anchor_col = steer[2] % v->col_count;
    v->cur_col = v->col_count - 1 - steer[3] % v->col_count;
    std::vector<ColumnType> types(v->col_count);
    for (int32_t c = 0; c < v->col_count; ++c)
        types[c] = {KINDS[(steer[4] + c * (steer[5] | 1)) % (sizeof KINDS / sizeof KINDS[0])], ""};

    const SelectionRect s = selection_rect(v);
    const std::vector<std::vector<Cell>> want = expected_cells(v, s);
    check_csv(v, s, want, copied(v, types.data(), COPY_CSV));
    check_json(v, types.data(), s, want, copied(v, types.data(), COPY_JSON));
    check_insert(v, types.data(), s, want, copied(v, types.data(), COPY_SQL_INSERT));
    check_markdown(v, s, want, copied(v, types.data(), COPY_MARKDOWN));
    check_readers_agree(v, s);

    // The value view's text of the selection's corner cell, and its json read as JSON.
    StrBuf value;
    const Cell &corner = want[0][0];
    const ValueShown shown = cell_value(v, s.r0, s.c0, &value);
    FUZZ_CHECK(shown == (corner.null ? VALUE_NULL : VALUE_TEXT));
    if (shown == VALUE_TEXT) {
        FUZZ_CHECK(std::string(value.data, value.len) == corner.text);
        sb_drop(&value);
        check_json_text(corner.text);
    }
    std::vector<std::string> tokens;
    const ValueShown viewed = value_view_text(v, types.data(), s.r0, s.c0, &value);
    if (corner.null)
        FUZZ_CHECK(viewed == VALUE_NULL);
    else if (types[s.c0].kind != KIND_JSON)
        FUZZ_CHECK(viewed == VALUE_TEXT);
    else
        FUZZ_CHECK(viewed == (json_valid(corner.text, &tokens) ? VALUE_JSON : VALUE_NOT_JSON));
    if (viewed != VALUE_NULL) sb_drop(&value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    std::string decoded(size, '\0');
    decoded.resize(value_decode_into(bytes.data(), size, decoded.data()));
    FUZZ_CHECK(decoded == copy_decoded(bytes));
    check_json_text(bytes);

    Viewer v;
    const int loaded = load_fuzz_input(&v, "export", data, size);
    if (!loaded) return 0;
    check_copies(&v, data, size);
    viewer_free_blocks(&v);
    return 0;
}
