// Printing a sum and an average, float or exact.
#include "query/sum_avg.h"

#include "query/float_value.h"

void sum_avg_text(bool as_float, double floating, int64_t floats, const ExactSum *exact,
                  const char *between, StrBuf *out) {
    if (!as_float) {
        exact_sum_text(exact, out);
        sb_add(out, between);
        exact_sum_avg_text(exact, out);
        return;
    }
    if (!floats) {
        sb_add(out, "null");
        sb_add(out, between);
        sb_add(out, "null");
        return;
    }
    char text[32];
    float_text(floating, text, sizeof text);
    sb_add(out, text);
    sb_add(out, between);
    float_text(floating / static_cast<double>(floats), text, sizeof text);
    sb_add(out, text);
}
