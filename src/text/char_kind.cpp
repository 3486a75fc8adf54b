// Character kinds: ASCII by its classes, the rest by a short table of punctuation blocks.
#include "text/char_kind.h"

#include "base/code_ranges.h"

namespace {

// Blocks outside ASCII read as punctuation rather than as word characters. Latin-1's signs are
// listed one run at a time because its ordinal indicators, superscript digits, micro sign and
// fractions belong to words.
const CodeRange PUNCT[] = {
    {0x0080, 0x009F}, {0x00A1, 0x00A9}, {0x00AB, 0x00B1}, {0x00B4, 0x00B4}, {0x00B6, 0x00B8},
    {0x00BB, 0x00BB}, {0x00BF, 0x00BF}, {0x00D7, 0x00D7}, {0x00F7, 0x00F7}, {0x2010, 0x2027},
    {0x2030, 0x205E}, {0x2190, 0x2BFF}, {0x2E00, 0x2E7F}, {0x3001, 0x3003}, {0x3008, 0x3011},
    {0x3014, 0x301F}, {0x30FB, 0x30FB}, {0xFE10, 0xFE19}, {0xFE30, 0xFE6B}, {0xFF01, 0xFF0F},
    {0xFF1A, 0xFF20}, {0xFF3B, 0xFF40}, {0xFF5B, 0xFF65},
};

bool unicode_blank(uint32_t cp) {
    return cp == 0x00A0 || cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200A) || cp == 0x2028 ||
           cp == 0x2029 || cp == 0x202F || cp == 0x205F || cp == 0x3000;
}

} // namespace

CharKind char_kind(uint32_t cp) {
    if (cp < 0x80) {
        if (cp == ' ' || cp == '\t') return CHAR_BLANK;
        if ((cp >= '0' && cp <= '9') || (cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z') ||
            cp == '_')
            return CHAR_WORD;
        return CHAR_PUNCT;
    }
    if (unicode_blank(cp)) return CHAR_BLANK;
    if (code_in_ranges(cp, PUNCT, sizeof PUNCT / sizeof PUNCT[0])) return CHAR_PUNCT;
    return CHAR_WORD;
}
