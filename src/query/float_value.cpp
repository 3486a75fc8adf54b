// Floats read with the C library's correctly rounded conversions, checked first by the sort's own
// reading of a number's text.
#include "query/float_value.h"

#include "base/mem.h"
#include "order/number_key.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

bool float_type_is_single(const char *type_name) {
    if (strcmp(type_name, "real") == 0 || strcmp(type_name, "float4") == 0) return true;
    if (strncmp(type_name, "float(", 6) != 0) return false;
    int p = 0;
    const char *c = type_name + 6;
    for (; *c >= '0' && *c <= '9' && p < 100; ++c) p = p * 10 + (*c - '0');
    return strcmp(c, ")") == 0 && p >= 1 && p <= 24;
}

int float_read(const char *text, size_t len, bool single, double *value) {
    Decimal d;
    if (!decimal_read(text, len, &d)) return 0;
    switch (d.cls) {
    case DECIMAL_NAN: *value = NAN; return 1;
    case DECIMAL_INFINITY: *value = INFINITY; return 1;
    case DECIMAL_MINUS_INFINITY: *value = -INFINITY; return 1;
    default: break;
    }
    char stack[128];
    char *copy = len < sizeof stack ? stack : static_cast<char *>(mem_alloc(len + 1));
    if (!copy) return 0;
    memcpy(copy, text, len);
    copy[len] = '\0';
    *value = single ? static_cast<double>(strtof(copy, nullptr)) : strtod(copy, nullptr);
    if (copy != stack) mem_free(copy);
    return 1;
}

void float_text(double value, char *out, size_t n) {
    if (isnan(value))
        snprintf(out, n, "NaN");
    else if (isinf(value))
        snprintf(out, n, value > 0 ? "Infinity" : "-Infinity");
    else
        snprintf(out, n, "%.15g", value);
}
