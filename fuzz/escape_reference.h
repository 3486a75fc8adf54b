// The fuzz targets' reference for COPY's text escapes, written apart from the viewer's decoder.
#pragma once

#include <ctype.h>

#include <string>

// COPY's escapes, byte by byte: \b \f \n \r \t \v, one to three octal digits (the low 8 bits),
// \x and one or two hex digits, any other byte after a backslash itself, a backslash that ends the
// field kept.
inline std::string copy_decoded(const std::string &field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c != '\\' || i + 1 == field.size()) {
            out += c;
            continue;
        }
        c = field[++i];
        const std::string letters = "bfnrtv", bytes = "\b\f\n\r\t\v";
        if (letters.find(c) != std::string::npos) {
            out += bytes[letters.find(c)];
        } else if (c >= '0' && c <= '7') {
            int v = c - '0';
            for (int k = 0;
                 k < 2 && i + 1 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '7'; ++k)
                v = v * 8 + (field[++i] - '0');
            out += static_cast<char>(v & 0xFF);
        } else if (c == 'x' && i + 1 < field.size() &&
                   isxdigit(static_cast<unsigned char>(field[i + 1]))) {
            std::string hex(1, field[++i]);
            if (i + 1 < field.size() && isxdigit(static_cast<unsigned char>(field[i + 1])))
                hex += field[++i];
            out += static_cast<char>(std::stoi(hex, nullptr, 16));
        } else {
            out += c;
        }
    }
    return out;
}
