// Parses a sample's expectations file and the JSON string literals its fields are written in.
#include "expected_sample.h"

#include <cstdio>
#include <cstdlib>

static void append_utf8(std::string *out, unsigned long cp) {
    if (cp < 0x80) {
        *out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out += static_cast<char>(0xC0 | (cp >> 6));
        *out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out += static_cast<char>(0xE0 | (cp >> 12));
        *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (cp >> 18));
        *out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

static bool read_hex4(const std::string &s, size_t at, unsigned long *cp) {
    if (at + 4 > s.size()) return false;
    *cp = 0;
    for (size_t i = at; i < at + 4; ++i) {
        char c = s[i];
        int d = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
        if (d < 0) return false;
        *cp = *cp * 16 + static_cast<unsigned long>(d);
    }
    return true;
}

bool parse_json_value(const std::string &field, ServerValue *value) {
    if (field == "null") {
        value->reset();
        return true;
    }
    if (field.size() < 2 || field.front() != '"' || field.back() != '"') return false;
    std::string out;
    const size_t end = field.size() - 1;
    for (size_t i = 1; i < end; ++i) {
        char c = field[i];
        if (c == '"') return false;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= end) return false;
        switch (field[i]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
            unsigned long cp = 0;
            if (!read_hex4(field, i + 1, &cp)) return false;
            i += 4;
            // A character outside the BMP arrives as a surrogate pair.
            if (cp >= 0xD800 && cp < 0xDC00) {
                unsigned long low = 0;
                if (i + 6 >= end || field[i + 1] != '\\' || field[i + 2] != 'u' ||
                    !read_hex4(field, i + 3, &low) || low < 0xDC00 || low > 0xDFFF)
                    return false;
                i += 6;
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            }
            append_utf8(&out, cp);
            break;
        }
        default: return false;
        }
    }
    *value = out;
    return true;
}

static std::vector<std::string> split_tabs(const std::string &line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

static bool read_lines(const std::string &path, std::vector<std::string> *lines) {
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
    std::fclose(f);
    size_t start = 0;
    while (start < text.size()) {
        size_t lf = text.find('\n', start);
        if (lf == std::string::npos) lf = text.size();
        lines->push_back(text.substr(start, lf - start));
        start = lf + 1;
    }
    return true;
}

static bool text_value(const std::string &field, std::string *text) {
    ServerValue v;
    if (!parse_json_value(field, &v) || !v) return false;
    *text = *v;
    return true;
}

bool read_expected_sample(const std::string &path, ExpectedSample *sample, std::string *error) {
    std::vector<std::string> lines;
    if (!read_lines(path, &lines)) {
        *error = "cannot read " + path;
        return false;
    }
    int line_no = 0;
    for (const std::string &line : lines) {
        ++line_no;
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f = split_tabs(line);
        bool ok = true;
        if (f[0] == "table") {
            ok = f.size() == 2 && text_value(f[1], &sample->table);
        } else if (f[0] == "rows") {
            char *end = nullptr;
            sample->rows = f.size() == 2 ? std::strtol(f[1].c_str(), &end, 10) : -1;
            ok = end && *end == '\0' && sample->rows >= 0;
        } else if (f[0] == "columns") {
            sample->columns.resize(f.size() - 1);
            for (size_t i = 1; ok && i < f.size(); ++i)
                ok = text_value(f[i], &sample->columns[i - 1]);
        } else if (f[0] == "row") {
            std::vector<ServerValue> row(f.size() - 1);
            for (size_t i = 1; ok && i < f.size(); ++i) ok = parse_json_value(f[i], &row[i - 1]);
            ok = ok && row.size() == sample->columns.size();
            sample->cells.push_back(row);
        } else {
            ok = false;
        }
        if (!ok) {
            *error = path + ":" + std::to_string(line_no) + ": malformed line";
            return false;
        }
    }
    if (sample->table.empty() || sample->rows < 0 || sample->columns.empty()) {
        *error = path + ": table, rows or columns missing";
        return false;
    }
    return true;
}
