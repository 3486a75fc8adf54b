// Exact decimal sums in base 10^9, with a 128-bit fast path.
#include "query/exact_sum.h"

#include "base/mem.h"

#include <stdio.h>
#include <string.h>

namespace {

const uint32_t BASE = 1000000000u;
const int BASE_DIGITS = 9;
const uint32_t POW10[10] = {1,      10,      100,      1000,      10000,
                            100000, 1000000, 10000000, 100000000, 1000000000};

// The most digits the server's numeric holds before and after its point.
const int64_t INTEGER_DIGITS_MAX = 131072, SCALE_MAX = 16383;

bool reserve(BigNat *a, int32_t n, bool *failed) {
    if (n <= a->cap) return true;
    int32_t cap = a->cap ? a->cap : 4;
    while (cap < n) cap *= 2;
    uint32_t *limbs = static_cast<uint32_t *>(mem_realloc(a->limbs, cap * sizeof(uint32_t)));
    if (!limbs) {
        *failed = true;
        return false;
    }
    a->limbs = limbs;
    a->cap = cap;
    return true;
}

void trim(BigNat *a) {
    while (a->n > 0 && a->limbs[a->n - 1] == 0) --a->n;
}

// a += b.
void add_to(BigNat *a, const BigNat *b, bool *failed) {
    int32_t n = (a->n > b->n ? a->n : b->n) + 1;
    if (!reserve(a, n, failed)) return;
    for (int32_t i = a->n; i < n; ++i) a->limbs[i] = 0;
    uint32_t carry = 0;
    for (int32_t i = 0; i < n; ++i) {
        uint32_t s = a->limbs[i] + (i < b->n ? b->limbs[i] : 0) + carry;
        carry = s >= BASE;
        a->limbs[i] = carry ? s - BASE : s;
    }
    a->n = n;
    trim(a);
}

int compare(const BigNat *a, const BigNat *b) {
    if (a->n != b->n) return a->n < b->n ? -1 : 1;
    for (int32_t i = a->n - 1; i >= 0; --i)
        if (a->limbs[i] != b->limbs[i]) return a->limbs[i] < b->limbs[i] ? -1 : 1;
    return 0;
}

// a -= b, where a >= b.
void subtract(BigNat *a, const BigNat *b) {
    int32_t borrow = 0;
    for (int32_t i = 0; i < a->n; ++i) {
        int64_t d = static_cast<int64_t>(a->limbs[i]) - (i < b->n ? b->limbs[i] : 0) - borrow;
        borrow = d < 0;
        a->limbs[i] = static_cast<uint32_t>(borrow ? d + BASE : d);
    }
    trim(a);
}

// a = a * m + add, m and add below BASE.
void multiply_add(BigNat *a, uint32_t m, uint32_t add, bool *failed) {
    if (!reserve(a, a->n + 1, failed)) return;
    uint64_t carry = add;
    for (int32_t i = 0; i < a->n; ++i) {
        uint64_t v = static_cast<uint64_t>(a->limbs[i]) * m + carry;
        a->limbs[i] = static_cast<uint32_t>(v % BASE);
        carry = v / BASE;
    }
    if (carry) a->limbs[a->n++] = static_cast<uint32_t>(carry);
}

// a *= 10^k.
void scale_up(BigNat *a, int64_t k, bool *failed) {
    if (a->n == 0 || k == 0) return;
    int32_t whole = static_cast<int32_t>(k / BASE_DIGITS);
    if (whole && reserve(a, a->n + whole, failed)) {
        memmove(a->limbs + whole, a->limbs, static_cast<size_t>(a->n) * sizeof(uint32_t));
        memset(a->limbs, 0, static_cast<size_t>(whole) * sizeof(uint32_t));
        a->n += whole;
    }
    if (k % BASE_DIGITS) multiply_add(a, POW10[k % BASE_DIGITS], 0, failed);
}

// a = a / d, returning the remainder.
uint64_t divide(BigNat *a, uint64_t d) {
    unsigned __int128 rest = 0;
    for (int32_t i = a->n - 1; i >= 0; --i) {
        unsigned __int128 v = rest * BASE + a->limbs[i];
        a->limbs[i] = static_cast<uint32_t>(v / d);
        rest = v % d;
    }
    trim(a);
    return static_cast<uint64_t>(rest);
}

void set_u128(BigNat *a, unsigned __int128 v, bool *failed) {
    a->n = 0;
    if (!reserve(a, 5, failed)) return;
    for (; v; v /= BASE) a->limbs[a->n++] = static_cast<uint32_t>(v % BASE);
}

bool copy_of(BigNat *to, const BigNat *from, bool *failed) {
    to->n = 0;
    if (!reserve(to, from->n + 1, failed)) return false;
    if (from->n) memcpy(to->limbs, from->limbs, static_cast<size_t>(from->n) * sizeof(uint32_t));
    to->n = from->n;
    return true;
}

// The decimal digits of a, no leading zeros ("0" for 0).
void digits_of(const BigNat *a, StrBuf *out) {
    if (a->n == 0) {
        sb_add(out, "0");
        return;
    }
    char piece[16];
    snprintf(piece, sizeof piece, "%u", a->limbs[a->n - 1]);
    sb_add(out, piece);
    for (int32_t i = a->n - 2; i >= 0; --i) {
        snprintf(piece, sizeof piece, "%09u", a->limbs[i]);
        sb_add(out, piece);
    }
}

// Moves `small` into pos or neg.
void fold_small(ExactSum *s) {
    if (s->small == 0) return;
    BigNat part = {};
    const bool negative = s->small < 0;
    set_u128(&part,
             negative ? static_cast<unsigned __int128>(-s->small)
                      : static_cast<unsigned __int128>(s->small),
             &s->failed);
    add_to(negative ? &s->neg : &s->pos, &part, &s->failed);
    mem_free(part.limbs);
    s->small = 0;
}

// Makes the sum's scale `scale` (larger than its own).
void rescale(ExactSum *s, int32_t scale) {
    fold_small(s);
    scale_up(&s->pos, scale - s->scale, &s->failed);
    scale_up(&s->neg, scale - s->scale, &s->failed);
    s->scale = scale;
}

const __int128 SMALL_LIMIT = static_cast<__int128>(1) << 125;

// Adds a value of `scale` given as its magnitude's digits (no point; leading zeros allowed).
void add_digits(ExactSum *s, bool negative, const char *digits, size_t n, int32_t scale) {
    if (scale > s->scale) rescale(s, scale);
    while (n > 1 && *digits == '0') ++digits, --n;
    const int64_t shift = s->scale - scale;
    if (static_cast<int64_t>(n) + shift <= 36) {
        __int128 v = 0;
        for (size_t i = 0; i < n; ++i) v = v * 10 + (digits[i] - '0');
        for (int64_t i = 0; i < shift; ++i) v *= 10;
        s->small += negative ? -v : v;
        if (s->small > SMALL_LIMIT || s->small < -SMALL_LIMIT) fold_small(s);
        return;
    }
    BigNat v = {};
    for (size_t i = 0; i < n;) {
        size_t take = n - i < static_cast<size_t>(BASE_DIGITS) ? n - i : BASE_DIGITS;
        uint32_t chunk = 0;
        for (size_t j = 0; j < take; ++j)
            chunk = chunk * 10 + static_cast<uint32_t>(digits[i + j] - '0');
        multiply_add(&v, POW10[take], chunk, &s->failed);
        i += take;
    }
    trim(&v);
    scale_up(&v, shift, &s->failed);
    add_to(negative ? &s->neg : &s->pos, &v, &s->failed);
    mem_free(v.limbs);
}

bool is_word(const char *p, size_t n, const char *word) {
    size_t m = strlen(word);
    if (n != m) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = p[i] >= 'A' && p[i] <= 'Z' ? static_cast<char>(p[i] + 32) : p[i];
        if (c != word[i]) return false;
    }
    return true;
}

// The sum's exact value as a sign and magnitude (pos - neg + small), in *out (freed by the
// caller). False when memory ran out.
bool total(const ExactSum *s, bool *negative, BigNat *out) {
    bool failed = s->failed;
    BigNat pos = {}, neg = {}, part = {};
    copy_of(&pos, &s->pos, &failed);
    copy_of(&neg, &s->neg, &failed);
    if (s->small) {
        set_u128(&part,
                 s->small < 0 ? static_cast<unsigned __int128>(-s->small)
                              : static_cast<unsigned __int128>(s->small),
                 &failed);
        add_to(s->small < 0 ? &neg : &pos, &part, &failed);
    }
    mem_free(part.limbs);
    *negative = compare(&pos, &neg) < 0;
    if (*negative) {
        subtract(&neg, &pos);
        mem_free(pos.limbs);
        *out = neg;
    } else {
        subtract(&pos, &neg);
        mem_free(neg.limbs);
        *out = pos;
    }
    return !failed;
}

// The special a sum or average prints instead of digits, or null.
const char *special(const ExactSum *s) {
    if (s->count == 0) return "null";
    if (s->nans || (s->infinities && s->minus_infinities)) return "NaN";
    if (s->infinities) return "Infinity";
    if (s->minus_infinities) return "-Infinity";
    return nullptr;
}

// Appends magnitude m (in units of 10^-scale) with its point, and its sign.
void put_decimal(bool negative, const BigNat *m, int32_t scale, StrBuf *out) {
    StrBuf digits;
    if (!sb_init(&digits)) {
        out->failed = 1;
        return;
    }
    digits_of(m, &digits);
    if (negative && m->n) sb_add(out, "-");
    const size_t len = digits.len, s = static_cast<size_t>(scale);
    if (len <= s) {
        sb_add(out, "0");
        if (s) {
            sb_add(out, ".");
            for (size_t i = len; i < s; ++i) sb_add(out, "0");
            sb_add_len(out, digits.data, len);
        }
    } else {
        sb_add_len(out, digits.data, len - s);
        if (s) {
            sb_add(out, ".");
            sb_add_len(out, digits.data + len - s, s);
        }
    }
    if (digits.failed) out->failed = 1;
    sb_drop(&digits);
}

// The weight (in base-10000 digits, as the server's numeric counts them) and first base-10000 digit
// of a number whose first decimal digit stands at 10^e and whose leading decimal digits are
// `lead` (at least 4 of them, or all there are).
void weight_of(int64_t e, const char *lead, size_t n, int64_t *weight, int *first) {
    *weight = e >= 0 ? e / 4 : -((-e + 3) / 4);
    size_t take = static_cast<size_t>(e - *weight * 4 + 1);
    *first = 0;
    for (size_t i = 0; i < take; ++i) *first = *first * 10 + (i < n ? lead[i] - '0' : 0);
}

} // namespace

void exact_sum_free(ExactSum *sum) {
    mem_free(sum->pos.limbs);
    mem_free(sum->neg.limbs);
    *sum = {};
}

void exact_sum_add_integer(ExactSum *sum, int64_t value) {
    ++sum->count;
    if (sum->scale == 0) {
        sum->small += value;
        if (sum->small > SMALL_LIMIT || sum->small < -SMALL_LIMIT) fold_small(sum);
        return;
    }
    char digits[24];
    const bool negative = value < 0;
    const unsigned long long m = negative ? 0ull - static_cast<unsigned long long>(value)
                                          : static_cast<unsigned long long>(value);
    int n = snprintf(digits, sizeof digits, "%llu", m);
    add_digits(sum, negative, digits, static_cast<size_t>(n), 0);
}

int exact_sum_add_text(ExactSum *sum, const char *text, size_t len) {
    const char *p = text, *end = text + len;
    const bool negative = p < end && *p == '-';
    const bool signed_text = p < end && (*p == '-' || *p == '+');
    if (signed_text) ++p;
    if (is_word(p, static_cast<size_t>(end - p), "nan") && !signed_text) {
        ++sum->nans;
        ++sum->count;
        return 1;
    }
    if (is_word(p, static_cast<size_t>(end - p), "infinity") ||
        is_word(p, static_cast<size_t>(end - p), "inf")) {
        ++(negative ? sum->minus_infinities : sum->infinities);
        ++sum->count;
        return 1;
    }
    // Digits before and after the point, then an exponent.
    const char *int_start = p;
    while (p < end && *p >= '0' && *p <= '9') ++p;
    const char *int_end = p, *frac_start = p, *frac_end = p;
    if (p < end && *p == '.') {
        frac_start = ++p;
        while (p < end && *p >= '0' && *p <= '9') ++p;
        frac_end = p;
    }
    if (int_end == int_start && frac_end == frac_start) return 0;
    int64_t exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool exp_negative = p < end && *p == '-';
        if (p < end && (*p == '-' || *p == '+')) ++p;
        if (p == end) return 0;
        for (; p < end && *p >= '0' && *p <= '9'; ++p) {
            exponent = exponent * 10 + (*p - '0');
            if (exponent > INTEGER_DIGITS_MAX + SCALE_MAX) return 0;
        }
        if (exp_negative) exponent = -exponent;
    }
    if (p != end) return 0;
    const int64_t frac = frac_end - frac_start, whole = int_end - int_start;
    // value = digits x 10^k; the display scale is what stands after the point.
    const int64_t k = exponent - frac, scale = k < 0 ? -k : 0;
    if (scale > SCALE_MAX || whole + exponent > INTEGER_DIGITS_MAX) return 0;
    ++sum->count;
    char stack[64];
    const size_t n = static_cast<size_t>(whole + frac), zeros = static_cast<size_t>(k > 0 ? k : 0);
    char *digits = n + zeros <= sizeof stack ? stack : static_cast<char *>(mem_alloc(n + zeros));
    if (!digits) {
        sum->failed = true;
        return 1;
    }
    memcpy(digits, int_start, static_cast<size_t>(whole));
    memcpy(digits + whole, frac_start, static_cast<size_t>(frac));
    memset(digits + n, '0', zeros);
    const size_t total_digits = n + zeros;
    add_digits(sum, negative, digits, total_digits, static_cast<int32_t>(scale));
    if (digits != stack) mem_free(digits);
    return 1;
}

void exact_sum_text(const ExactSum *sum, StrBuf *out) {
    if (const char *s = special(sum)) {
        sb_add(out, s);
        return;
    }
    bool negative;
    BigNat m = {};
    if (!total(sum, &negative, &m)) out->failed = 1;
    put_decimal(negative, &m, sum->scale, out);
    mem_free(m.limbs);
}

void exact_sum_avg_text(const ExactSum *sum, StrBuf *out) {
    if (const char *s = special(sum)) {
        sb_add(out, s);
        return;
    }
    bool negative;
    BigNat m = {};
    if (!total(sum, &negative, &m)) out->failed = 1;
    // The quotient's scale as the server's select_div_scale picks it, from the weights and first
    // base-10000 digits of the sum and of the count.
    StrBuf digits;
    if (!sb_init(&digits)) {
        out->failed = 1;
        mem_free(m.limbs);
        return;
    }
    digits_of(&m, &digits);
    int64_t weight1 = 0, weight2 = 0;
    int first1 = 0, first2 = 0;
    if (m.n)
        weight_of(static_cast<int64_t>(digits.len) - sum->scale - 1, digits.data, digits.len,
                  &weight1, &first1);
    sb_drop(&digits);
    char count[24];
    int count_len = snprintf(count, sizeof count, "%lld", static_cast<long long>(sum->count));
    weight_of(count_len - 1, count, static_cast<size_t>(count_len), &weight2, &first2);
    int64_t qweight = weight1 - weight2 - (first1 <= first2 ? 1 : 0);
    int64_t rscale = 16 - qweight * 4;
    if (rscale < sum->scale) rscale = sum->scale;
    if (rscale < 0) rscale = 0;
    if (rscale > 1000) rscale = 1000;
    bool failed = false;
    scale_up(&m, rscale - sum->scale, &failed);
    const uint64_t c = static_cast<uint64_t>(sum->count);
    const uint64_t rest = divide(&m, c);
    if (rest >= c - rest) {
        BigNat one = {};
        set_u128(&one, 1, &failed);
        add_to(&m, &one, &failed);
        mem_free(one.limbs);
    }
    if (failed) out->failed = 1;
    put_decimal(negative, &m, static_cast<int32_t>(rscale), out);
    mem_free(m.limbs);
}
