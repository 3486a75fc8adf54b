// Floating-point values as the server holds and prints them: real and double precision read from
// their text, and a float8 result written to 15 significant digits.
#pragma once

#include <stddef.h>

// Whether a column type (as ColumnType names it) is the 4-byte real: real, float4, float(1) to
// float(24). Its values then widen to float8 as the server widens them (0.1 as 0.100000001490116).
bool float_type_is_single(const char *type_name);

// Reads a float's text (as the sort reads it: NaN, Infinity, -Infinity, an exponent) into *value,
// rounded to a float first when `single`. Returns 0 for text that is no such number.
int float_read(const char *text, size_t len, bool single, double *value);

// Writes a float8 as the server prints it with extra_float_digits 0: 15 significant digits,
// "NaN", "Infinity", "-Infinity", "-0"; out holds n bytes (32 always suffice).
void float_text(double value, char *out, size_t n);
