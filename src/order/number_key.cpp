// Integers and exact decimals from their text.
#include "order/number_key.h"

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

char lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether [p, end) is `word` (lower case) in any case.
bool is_word(const char *p, const char *end, const char *word) {
    for (; *word; ++word, ++p)
        if (p == end || lower_ascii(*p) != *word) return false;
    return p == end;
}

} // namespace

int integer_read(const char *text, size_t len, int64_t *value) {
    const char *p = text, *end = text + len;
    bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    if (p == end) return 0;
    // Nineteen significant digits never overflow 64 bits unsigned; the sign's range decides.
    uint64_t magnitude = 0;
    int significant = 0;
    for (; p < end; ++p) {
        if (!is_digit(*p)) return 0;
        if (magnitude == 0 && *p == '0') continue;
        if (++significant > 19) return 0;
        magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
    }
    const uint64_t most = 1ull << 63;
    if (magnitude > (negative ? most : most - 1)) return 0;
    *value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return 1;
}

int decimal_read(const char *text, size_t len, Decimal *value) {
    const char *p = text, *end = text + len;
    bool negative = p < end && *p == '-';
    bool signed_text = p < end && (*p == '-' || *p == '+');
    if (signed_text) ++p;
    if (p < end && !is_digit(*p) && *p != '.') {
        if (is_word(p, end, "infinity") || is_word(p, end, "inf")) {
            *value = {negative ? DECIMAL_MINUS_INFINITY : DECIMAL_INFINITY, nullptr, 0, 0};
            return 1;
        }
        if (!signed_text && is_word(p, end, "nan")) {
            *value = {DECIMAL_NAN, nullptr, 0, 0};
            return 1;
        }
        return 0;
    }

    // The digits before and after the point: `first` is the first non-zero one, and the indexes
    // count digits only, so the point between them is not counted.
    const char *first = nullptr;
    int64_t digits = 0, int_digits = -1, first_index = 0, last_index = 0;
    for (; p < end; ++p) {
        if (*p == '.') {
            if (int_digits >= 0) return 0;
            int_digits = digits;
        } else if (is_digit(*p)) {
            if (*p != '0') {
                if (!first) {
                    first = p;
                    first_index = digits;
                }
                last_index = digits;
            }
            ++digits;
        } else {
            break;
        }
    }
    if (digits == 0) return 0;
    if (int_digits < 0) int_digits = digits;

    int64_t exp10 = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool exp_negative = p < end && *p == '-';
        if (p < end && (*p == '-' || *p == '+')) ++p;
        if (p == end) return 0;
        for (; p < end && is_digit(*p); ++p) {
            exp10 = exp10 * 10 + (*p - '0');
            if (exp10 > DECIMAL_EXPONENT_MAX) return 0;
        }
        if (exp_negative) exp10 = -exp10;
    }
    if (p != end) return 0;
    if (!first) {
        *value = {DECIMAL_ZERO, nullptr, 0, 0};
        return 1;
    }

    int64_t exponent = int_digits - first_index + exp10;
    if (exponent > DECIMAL_EXPONENT_MAX || exponent < -DECIMAL_EXPONENT_MAX) return 0;
    *value = {negative ? DECIMAL_NEGATIVE : DECIMAL_POSITIVE, first, last_index - first_index + 1,
              static_cast<int32_t>(exponent)};
    return 1;
}
