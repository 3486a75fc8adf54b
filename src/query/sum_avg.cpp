// Adding numbers up and printing their sum and average, float or exact.
#include "query/sum_avg.h"

#include "order/number_key.h"
#include "query/float_value.h"

void number_sums_add(NumberSums *s, ColumnKind kind, bool as_float, bool single, const char *field,
                     size_t len) {
    if (as_float) {
        double v;
        if (float_read(field, len, single, &v)) {
            s->floating += v;
            ++s->floats;
        }
        return;
    }
    int64_t i;
    if (kind == KIND_INTEGER) {
        if (integer_read(field, len, &i)) exact_sum_add_integer(&s->exact, i);
    } else if (kind == KIND_NUMERIC) {
        exact_sum_add_text(&s->exact, field, len);
    }
}

void number_sums_text(const NumberSums *s, bool as_float, const char *between, StrBuf *out) {
    if (!as_float) {
        exact_sum_text(&s->exact, out);
        sb_add(out, between);
        exact_sum_avg_text(&s->exact, out);
        return;
    }
    if (!s->floats) {
        sb_add(out, "null");
        sb_add(out, between);
        sb_add(out, "null");
        return;
    }
    char text[32];
    float_text(s->floating, text, sizeof text);
    sb_add(out, text);
    sb_add(out, between);
    float_text(s->floating / static_cast<double>(s->floats), text, sizeof text);
    sb_add(out, text);
}

void number_sums_free(NumberSums *s) {
    exact_sum_free(&s->exact);
}
