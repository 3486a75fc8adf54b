// Numbers read from the text the server writes for them, as order-preserving keys: integers as
// one 64-bit value, numeric and floating-point values as exact decimals.
#pragma once

#include <stddef.h>
#include <stdint.h>

// An integer (smallint, integer, bigint): an optional sign and decimal digits, within 64 bits.
// Returns 1 with the value, or 0 when the text is no such integer.
int integer_read(const char *text, size_t len, int64_t *value);

// The order of decimal values: the classes in ascending order. PostgreSQL puts NaN above every
// number, Infinity included, for numeric and for floating point alike.
enum DecimalClass : uint8_t {
    DECIMAL_MINUS_INFINITY = 1,
    DECIMAL_NEGATIVE = 2,
    DECIMAL_ZERO = 3,
    DECIMAL_POSITIVE = 4,
    DECIMAL_INFINITY = 5,
    DECIMAL_NAN = 6,
};

// An exact decimal: its class, and for a negative or positive value its significant digits (from
// the first non-zero digit to the last, `digits` pointing into the text; a '.' among them is to be
// stepped over) and exponent, so that the magnitude is 0.d1d2...dn x 10^exponent. Equal values
// read the same whatever their text: 1.0 and 1.00, -0 and 0, 1e2 and 100.
struct Decimal {
    DecimalClass cls;
    const char *digits;
    int64_t count;
    int32_t exponent;
};

// The exponent stays within this, so that it fits three bytes of the key; the server's numeric
// ends far inside it (131,072 digits before the point, 16,383 after).
enum : int32_t { DECIMAL_EXPONENT_MAX = 4000000 };

// Reads a numeric or floating-point text: an optional sign, digits with an optional '.', an
// optional exponent (e or E, an optional sign, digits); or NaN, Infinity or inf (any case, the
// last two with an optional sign). Returns 1 with the value, or 0 when the text is none of these
// or its exponent lies beyond DECIMAL_EXPONENT_MAX.
//
// Floating-point values are compared as the decimals their text writes: the server writes each
// float in a form that reads back to the same value (the shortest such since version 12, 17 or 9
// significant digits from pg_dump before), so equal values have equal texts, and the decimal order
// of the texts is the order of the values.
int decimal_read(const char *text, size_t len, Decimal *value);
