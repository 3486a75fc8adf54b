// Reads the EXT="..." terms of a detect string and matches file names against them.
#include "host/detect_string.h"

#include <cctype>
#include <cstring>

static bool is_name_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

static bool same_ignoring_case(const std::string &a, const std::string &b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

static const char *skip_blanks(const char *p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

std::vector<std::string> detect_extensions(const char *detect) {
    std::vector<std::string> found;
    if (!detect) return found;
    for (const char *p = detect; *p; ++p) {
        // "EXT" as a word of its own, so that a longer name ending in it is not taken for it.
        bool word_start = p == detect || !is_name_char(p[-1]);
        bool ext = std::toupper(static_cast<unsigned char>(p[0])) == 'E' &&
                   std::toupper(static_cast<unsigned char>(p[1])) == 'X' &&
                   std::toupper(static_cast<unsigned char>(p[2])) == 'T';
        if (!word_start || !ext || is_name_char(p[3])) continue;
        const char *q = skip_blanks(p + 3);
        if (*q != '=') continue;
        q = skip_blanks(q + 1);
        if (*q != '"') continue;
        const char *close = std::strchr(q + 1, '"');
        if (!close) break;
        found.emplace_back(q + 1, close);
        p = close;
    }
    return found;
}

bool detect_accepts(const char *detect, const char *path) {
    if (!path) return false;
    const char *name = path;
    for (const char *p = path; *p; ++p)
        if (*p == '/' || *p == '\\') name = p + 1;
    const char *dot = std::strrchr(name, '.');
    if (!dot) return false;
    std::string extension(dot + 1);
    for (const std::string &wanted : detect_extensions(detect))
        if (same_ignoring_case(extension, wanted)) return true;
    return false;
}
