// What a server value becomes: its field in the dump, the grid's text and the clipboard's text.
#pragma once

#include <cstring>
#include <string>

#include "expected_sample.h"
#include "grid/selection_text.h"

// The six control characters that COPY writes as a backslash and a letter, and those letters.
inline const char kLetterEscaped[] = "\b\f\n\r\t\v";
inline const char kEscapeLetters[] = "bfnrtv";

// The field as COPY writes the value: backslashes doubled, the six control characters as a
// backslash and a letter, everything else (other control characters included) as it is.
inline std::string copy_text(const std::string &value) {
    std::string out;
    for (char c : value) {
        const char *hit = c ? std::strchr(kLetterEscaped, c) : nullptr;
        if (c == '\\')
            out += "\\\\";
        else if (hit)
            out += {'\\', kEscapeLetters[hit - kLetterEscaped]};
        else
            out += c;
    }
    return out;
}

// What the grid shows for a cell: the field as written, and "null" for SQL NULL.
inline std::string grid_text(const ServerValue &value) {
    return value ? copy_text(*value) : "null";
}

// What the clipboard gets for a cell: the value with tabs as blanks and line breaks dropped; the
// other letter-escaped controls come out as their letters, since the copy decodes only \t, \n and
// \r. Only the first CELL_SCRATCH - 1 bytes of the field are decoded, so a value whose field is
// longer is cut there, and a cut through an escape leaves its backslash alone. NULL copies as
// nothing.
inline std::string clipboard_text(const ServerValue &value) {
    std::string out;
    if (!value) return out;
    size_t budget = CELL_SCRATCH - 1;
    for (char c : *value) {
        const char *hit = c ? std::strchr(kLetterEscaped, c) : nullptr;
        size_t width = hit || c == '\\' ? 2 : 1;
        if (width > budget) {
            if (budget == 1) out += '\\';
            break;
        }
        budget -= width;
        if (c == '\t')
            out += ' ';
        else if (c == '\n' || c == '\r')
            continue;
        else if (hit)
            out += kEscapeLetters[hit - kLetterEscaped];
        else
            out += c;
    }
    return out;
}
