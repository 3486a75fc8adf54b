// Literals into field form: the ISO forms of dates and times padded to the forms the sort reads,
// uuids and bytea in the server's spelling, booleans as t and f, and the rest as text.
#include "query/condition_literal.h"

#include "order/number_key.h"
#include "order/time_key.h"
#include "query/float_value.h"
#include "query/type_names.h"

#include <stdio.h>
#include <string.h>

namespace {

struct Text {
    const char *p, *end;
};

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

Text trimmed(const char *text, size_t len) {
    Text t = {text, text + len};
    while (t.p < t.end && is_blank(*t.p)) ++t.p;
    while (t.end > t.p && is_blank(t.end[-1])) --t.end;
    return t;
}

bool lower_equals(Text t, const char *word) {
    size_t n = strlen(word);
    if (static_cast<size_t>(t.end - t.p) != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = t.p[i] >= 'A' && t.p[i] <= 'Z' ? static_cast<char>(t.p[i] + 32) : t.p[i];
        if (c != word[i]) return false;
    }
    return true;
}

bool digits(Text *t, int min, int max, long long *v) {
    int n = 0;
    *v = 0;
    while (n < max && t->p < t->end && *t->p >= '0' && *t->p <= '9') {
        *v = *v * 10 + (*t->p++ - '0');
        ++n;
    }
    return n >= min;
}

bool take(Text *t, char c) {
    if (t->p == t->end || *t->p != c) return false;
    ++t->p;
    return true;
}

// "Y-M-D" (month and day of one or two digits) as "YYYY-MM-DD".
bool read_date(Text *t, char *out, size_t room) {
    long long y, m, d;
    if (!digits(t, 1, 9, &y) || !take(t, '-') || !digits(t, 1, 2, &m) || !take(t, '-') ||
        !digits(t, 1, 2, &d))
        return false;
    snprintf(out, room, "%04lld-%02lld-%02lld", y, m, d);
    return true;
}

// "H:MM[:SS[.fraction]]" as "HH:MM:SS[.fraction]".
bool read_clock(Text *t, char *out, size_t room) {
    long long h, m, s = 0;
    if (!digits(t, 1, 2, &h) || !take(t, ':') || !digits(t, 2, 2, &m)) return false;
    int n = snprintf(out, room, "%02lld:%02lld", h, m);
    if (take(t, ':')) {
        if (!digits(t, 2, 2, &s)) return false;
        if (t->p < t->end && *t->p == '.') {
            const char *f = t->p++;
            while (t->p < t->end && *t->p >= '0' && *t->p <= '9') ++t->p;
            snprintf(out + n, room - static_cast<size_t>(n), ":%02lld%.*s", s,
                     static_cast<int>(t->p - f), f);
            return true;
        }
    }
    snprintf(out + n, room - static_cast<size_t>(n), ":%02lld", s);
    return true;
}

// A zone after a time: "Z", "UTC", "+H", "+HH:MM", "+HHMM", "+HH:MM:SS" (or '-'), a blank before
// it allowed; "+00" when there is none. As "+HH:MM:SS".
bool read_zone(Text *t, char *out, size_t room) {
    Text z = *t;
    while (z.p < z.end && *z.p == ' ') ++z.p;
    if (z.p == z.end || (z.end - z.p == 3 && lower_equals({z.p, z.p + 3}, " bc"))) {
        snprintf(out, room, "+00");
        return true;
    }
    if (take(&z, 'Z') || take(&z, 'z')) {
        *t = z;
        snprintf(out, room, "+00");
        return true;
    }
    if (z.end - z.p >= 3 && lower_equals({z.p, z.p + 3}, "utc")) {
        z.p += 3;
        *t = z;
        snprintf(out, room, "+00");
        return true;
    }
    if (z.p == z.end || (*z.p != '+' && *z.p != '-')) return false;
    const char sign = *z.p++;
    long long h, m = 0, s = 0;
    if (!digits(&z, 1, 2, &h)) return false;
    if (take(&z, ':')) {
        if (!digits(&z, 2, 2, &m)) return false;
        if (take(&z, ':') && !digits(&z, 2, 2, &s)) return false;
    } else {
        digits(&z, 0, 2, &m);
    }
    *t = z;
    snprintf(out, room, "%c%02lld:%02lld:%02lld", sign, h, m, s);
    return true;
}

// " BC" at the end (any case).
bool read_era(Text *t, const char **era) {
    *era = "";
    if (t->end - t->p == 3 && lower_equals({t->p, t->end}, " bc")) {
        *era = " BC";
        t->p = t->end;
    }
    return t->p == t->end;
}

// A date or time literal in the form the sort reads; false when the text has no such form.
bool time_literal(ColumnKind kind, Text t, char *out, size_t room) {
    if (kind == KIND_DATE || kind == KIND_TIMESTAMP || kind == KIND_TIMESTAMPTZ) {
        if (lower_equals(t, "infinity") || lower_equals(t, "+infinity") ||
            lower_equals(t, "-infinity")) {
            snprintf(out, room, "%s", *t.p == '-' ? "-infinity" : "infinity");
            return true;
        }
    }
    char date[32] = "", clock[64] = "00:00:00", zone[16] = "";
    const char *era = "";
    if (kind == KIND_DATE) {
        if (!read_date(&t, date, sizeof date) || !read_era(&t, &era)) return false;
        snprintf(out, room, "%s%s", date, era);
        return true;
    }
    if (kind == KIND_TIME || kind == KIND_TIMETZ) {
        if (!read_clock(&t, clock, sizeof clock)) return false;
        if (kind == KIND_TIMETZ && !read_zone(&t, zone, sizeof zone)) return false;
        if (t.p != t.end) return false;
        snprintf(out, room, "%s%s", clock, zone);
        return true;
    }
    if (!read_date(&t, date, sizeof date)) return false;
    if (t.p < t.end && (*t.p == ' ' || *t.p == 'T' || *t.p == 't')) {
        Text after = {t.p + 1, t.end};
        if (read_clock(&after, clock, sizeof clock)) t = after;
    }
    if (kind == KIND_TIMESTAMPTZ && !read_zone(&t, zone, sizeof zone)) return false;
    if (!read_era(&t, &era)) return false;
    snprintf(out, room, "%s %s%s%s", date, clock, zone, era);
    return true;
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A uuid in any of the server's input forms, as it writes it.
bool uuid_literal(Text t, char *out) {
    if (t.p < t.end && *t.p == '{') {
        if (t.end[-1] != '}') return false;
        ++t.p, --t.end;
    }
    int n = 0;
    for (const char *p = t.p; p < t.end; ++p) {
        if (*p == '-' && n > 0 && n % 4 == 0 && p + 1 < t.end && p[1] != '-') continue;
        if (hex_value(*p) < 0 || n == 32) return false;
        const char c = *p >= 'A' && *p <= 'F' ? static_cast<char>(*p + 32) : *p;
        out[n + (n >= 8) + (n >= 12) + (n >= 16) + (n >= 20)] = c;
        ++n;
    }
    if (n != 32) return false;
    out[8] = out[13] = out[18] = out[23] = '-';
    out[36] = '\0';
    return true;
}

// A bytea literal, hex ("\x0aff") or escape form ("ab\\000"), in the hex form the server writes.
bool bytea_literal(const char *text, size_t len, StrBuf *out) {
    static const char hex[] = "0123456789abcdef";
    const char *p = text, *end = text + len;
    sb_add(out, "\\\\x");
    if (len >= 2 && p[0] == '\\' && (p[1] == 'x' || p[1] == 'X')) {
        for (p += 2; p < end;) {
            if (is_blank(*p)) {
                ++p;
                continue;
            }
            if (end - p < 2 || hex_value(p[0]) < 0 || hex_value(p[1]) < 0) return false;
            char pair[2] = {hex[hex_value(p[0])], hex[hex_value(p[1])]};
            sb_add_len(out, pair, 2);
            p += 2;
        }
        return true;
    }
    while (p < end) {
        int byte = static_cast<unsigned char>(*p++);
        if (byte == '\\') {
            if (p < end && *p == '\\') {
                ++p;
            } else if (end - p >= 3 && p[0] >= '0' && p[0] <= '3' && p[1] >= '0' && p[1] <= '7' &&
                       p[2] >= '0' && p[2] <= '7') {
                byte = (p[0] - '0') * 64 + (p[1] - '0') * 8 + (p[2] - '0');
                p += 3;
            } else {
                return false;
            }
        }
        char pair[2] = {hex[byte >> 4], hex[byte & 15]};
        sb_add_len(out, pair, 2);
    }
    return true;
}

bool boolean_literal(Text t, char *out) {
    static const char *const yes[] = {"t", "true", "y", "yes", "on", "1"};
    static const char *const no[] = {"f", "false", "n", "no", "off", "0"};
    for (const char *w : yes)
        if (lower_equals(t, w)) return *out = 't', true;
    for (const char *w : no)
        if (lower_equals(t, w)) return *out = 'f', true;
    return false;
}

int refuse(char *message, size_t room, const char *text, size_t len, const char *type_name,
           ColumnKind kind) {
    static const char *const names[] = {"text",      "integer",
                                        "numeric",   "double precision",
                                        "boolean",   "date",
                                        "time",      "time with time zone",
                                        "timestamp", "timestamp with time zone",
                                        "json"};
    const char *type = type_name[0] ? type_name : names[kind];
    snprintf(message, room, "'%.*s' is not a value of %s", len > 40 ? 40 : static_cast<int>(len),
             text, type);
    return 0;
}

} // namespace

void copy_escape(const char *text, size_t len, StrBuf *out) {
    const char *run = text;
    for (const char *p = text; p < text + len; ++p) {
        const char *escape = *p == '\\'   ? "\\\\"
                             : *p == '\t' ? "\\t"
                             : *p == '\n' ? "\\n"
                             : *p == '\r' ? "\\r"
                                          : nullptr;
        if (!escape) continue;
        sb_add_len(out, run, static_cast<size_t>(p - run));
        sb_add(out, escape);
        run = p + 1;
    }
    sb_add_len(out, run, static_cast<size_t>(text + len - run));
}

int literal_read(ColumnKind kind, const char *type_name, const char *text, size_t len, bool number,
                 StrBuf *field, Literal *out, char *message, size_t room) {
    *out = {BY_KEY, kind, 0};
    const Text t = trimmed(text, len);
    const size_t tlen = static_cast<size_t>(t.end - t.p);
    char form[128];
    int64_t i;
    Decimal d;
    switch (kind) {
    case KIND_INTEGER:
        if (integer_read(t.p, tlen, &i)) break;
        if (number && decimal_read(t.p, tlen, &d)) {
            out->kind = KIND_NUMERIC;
            break;
        }
        return refuse(message, room, text, len, type_name, kind);
    case KIND_NUMERIC:
        if (!decimal_read(t.p, tlen, &d)) return refuse(message, room, text, len, type_name, kind);
        break;
    case KIND_FLOAT:
        out->by = BY_FLOAT;
        // A number is a numeric, which meets a real column as float8; a string is read as the
        // column's own type.
        if (!float_read(t.p, tlen, !number && float_type_is_single(type_name), &out->number))
            return refuse(message, room, text, len, type_name, kind);
        return 1;
    case KIND_BOOLEAN:
        if (number || !boolean_literal(t, form)) {
            snprintf(message, room, "a boolean is 'true' or 'false', not %s%.*s%s",
                     number ? "" : "'", len > 40 ? 40 : static_cast<int>(len), text,
                     number ? "" : "'");
            return 0;
        }
        sb_add_len(field, form, 1);
        return 1;
    case KIND_DATE:
    case KIND_TIME:
    case KIND_TIMETZ:
    case KIND_TIMESTAMP:
    case KIND_TIMESTAMPTZ: {
        int64_t count;
        int32_t zone;
        const bool ok = !number && time_literal(kind, t, form, sizeof form);
        const size_t n = ok ? strlen(form) : 0;
        const bool value = ok && (kind == KIND_DATE   ? date_read(form, n, &count)
                                  : kind == KIND_TIME ? time_read(form, n, &count)
                                  : kind == KIND_TIMETZ
                                      ? timetz_read(form, n, &count, &zone)
                                      : timestamp_read(form, n, kind == KIND_TIMESTAMPTZ, &count));
        if (!value) return refuse(message, room, text, len, type_name, kind);
        sb_add(field, form);
        return 1;
    }
    case KIND_TEXT:
    case KIND_JSON:
        if (type_is_uuid(type_name)) {
            if (!uuid_literal(t, form)) return refuse(message, room, text, len, type_name, kind);
            sb_add(field, form);
            return 1;
        }
        if (type_is_bytea(type_name)) {
            if (!bytea_literal(text, len, field))
                return refuse(message, room, text, len, type_name, kind);
            return 1;
        }
        if (type_is_blank_padded(type_name))
            while (len > 0 && text[len - 1] == ' ') --len;
        copy_escape(text, len, field);
        return 1;
    }
    sb_add_len(field, t.p, tlen);
    return 1;
}
