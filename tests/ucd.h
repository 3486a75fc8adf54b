// Test support: the Unicode Character Database's own files, read into one answer per code point,
// so that the tables generated from them are checked against a source other than themselves.
#pragma once

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

// Where Debian's unicode-data package puts the files (tools/setup.sh installs it); the build
// says, since under Wine the same folder is on drive Z:.
#ifndef TAVRIN_UCD_DIR
#error "TAVRIN_UCD_DIR names the folder of the Unicode Character Database's files"
#endif

namespace ucd {

const uint32_t CODE_POINTS = 0x110000;

inline std::string path_of(const char *file) {
    return std::string(TAVRIN_UCD_DIR) + "/" + file;
}

// Calls each(lo, hi, fields) for every data line of a file: the code point or range of its first
// field, and its fields with the comment cut off and blanks trimmed. False when the file cannot
// be read.
template <class Each> bool each_line(const char *file, Each each) {
    FILE *f = fopen(path_of(file).c_str(), "rb");
    if (!f) return false;
    char buf[1024];
    while (fgets(buf, sizeof buf, f)) {
        std::string line(buf);
        line = line.substr(0, line.find('#'));
        std::vector<std::string> fields;
        for (size_t start = 0;;) {
            size_t semi = line.find(';', start);
            std::string field = line.substr(start, semi - start);
            size_t a = field.find_first_not_of(" \t\r\n"), b = field.find_last_not_of(" \t\r\n");
            fields.push_back(a == std::string::npos ? "" : field.substr(a, b - a + 1));
            if (semi == std::string::npos) break;
            start = semi + 1;
        }
        if (fields.size() < 2) continue;
        uint32_t lo = static_cast<uint32_t>(strtoul(fields[0].c_str(), nullptr, 16)), hi = lo;
        size_t dots = fields[0].find("..");
        if (dots != std::string::npos)
            hi = static_cast<uint32_t>(strtoul(fields[0].c_str() + dots + 2, nullptr, 16));
        each(lo, hi, fields);
    }
    fclose(f);
    return true;
}

// East_Asian_Width W or F for every code point; empty when EastAsianWidth.txt cannot be read.
inline std::vector<bool> wide() {
    std::vector<bool> out(CODE_POINTS, false);
    bool read = each_line("EastAsianWidth.txt", [&](uint32_t lo, uint32_t hi, const auto &f) {
        if (f[1] == "W" || f[1] == "F")
            for (uint32_t cp = lo; cp <= hi; ++cp) out[cp] = true;
    });
    return read ? out : std::vector<bool>();
}

// Every code point's simple case folding (statuses C and S of CaseFolding.txt), itself where there
// is none; empty when the file cannot be read. The length of the UTF-8 forms is not looked at.
inline std::vector<uint32_t> simple_folding() {
    std::vector<uint32_t> out(CODE_POINTS);
    for (uint32_t cp = 0; cp < CODE_POINTS; ++cp) out[cp] = cp;
    bool read = each_line("CaseFolding.txt", [&](uint32_t lo, uint32_t, const auto &f) {
        if (f.size() >= 3 && (f[1] == "C" || f[1] == "S"))
            out[lo] = static_cast<uint32_t>(strtoul(f[2].c_str(), nullptr, 16));
    });
    return read ? out : std::vector<uint32_t>();
}

// A general category: its letter and the second letter ('L' 'u', 'Z' 's', 'C' 'n').
struct Category {
    char major, minor;
};

// Every code point's general category from UnicodeData.txt, whose large blocks are a First and a
// Last line; unassigned code points are Cn. Empty when the file cannot be read.
inline std::vector<Category> categories() {
    std::vector<Category> out(CODE_POINTS, Category{'C', 'n'});
    uint32_t first = 0;
    bool read = each_line("UnicodeData.txt", [&](uint32_t cp, uint32_t, const auto &f) {
        if (f.size() < 3 || f[2].size() != 2) return;
        if (f[1].find(", Last>") == std::string::npos) first = cp;
        for (uint32_t c = first; c <= cp; ++c) out[c] = Category{f[2][0], f[2][1]};
    });
    return read ? out : std::vector<Category>();
}

// The message of a test that could not read a file.
inline std::string missing(const char *file) {
    return "cannot read " + path_of(file) + ": tools/setup.sh installs Debian's unicode-data";
}

} // namespace ucd
