// gen_dump: writes a deterministic dump container of ROWS rows and COLS columns for benchmarks.
//
//   gen_dump OUT.pg ROWS COLS [SEED] [--row-bytes N] [--sql-bytes N]
//
// The columns cycle through the kinds a real table holds (id, short word, longer text, number,
// date), with some NULLs and COPY escapes in the text, so that row lengths and field boundaries
// look like a real dump: 1,000,000 rows of 10 columns come to about 100 MB. The same arguments
// always give the same bytes. --row-bytes pads each row's last text column with words until the
// row holds N bytes (a document or a picture in a cell); --sql-bytes adds comment lines after the
// CREATE TABLE statement until the SQL section holds N bytes (a dump whose definition comes with
// a long history of statements).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// splitmix64: tiny, fast and the same on every platform.
struct Random {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n).
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
};

enum Kind { KIND_ID, KIND_WORD, KIND_TEXT, KIND_NUMBER, KIND_DATE };

// Ten columns give two of each kind but the id; wider tables repeat the pattern.
const Kind COLUMN_PATTERN[10] = {KIND_ID,   KIND_WORD, KIND_TEXT, KIND_NUMBER, KIND_DATE,
                                 KIND_WORD, KIND_TEXT, KIND_DATE, KIND_NUMBER, KIND_TEXT};

Kind kind_of(int col) {
    return COLUMN_PATTERN[col % 10];
}

const char *const WORDS[] = {"alpha",  "bravo",  "cedar",  "delta",  "ember", "fjord", "gamma",
                             "harbor", "iris",   "jade",   "kilo",   "lumen", "maple", "north",
                             "oak",    "pine",   "quartz", "river",  "stone", "tide",  "umber",
                             "vale",   "willow", "xenon",  "yarrow", "zinc"};
const int WORD_COUNT = sizeof WORDS / sizeof WORDS[0];

const char *sql_type(Kind kind) {
    switch (kind) {
    case KIND_ID: return "bigint NOT NULL";
    case KIND_WORD: return "text";
    case KIND_TEXT: return "text";
    case KIND_NUMBER: return "numeric(12,2)";
    case KIND_DATE: return "date";
    }
    return "text";
}

// Free text of a few words, now and then holding an escaped tab, line feed or backslash.
void add_text(std::string *out, Random *rng) {
    int words = 1 + static_cast<int>(rng->below(4));
    for (int w = 0; w < words; ++w) {
        if (w > 0) {
            uint32_t roll = rng->below(100);
            if (roll == 0)
                *out += "\\t";
            else if (roll == 1)
                *out += "\\n";
            else if (roll == 2)
                *out += "\\\\";
            else
                *out += ' ';
        }
        *out += WORDS[rng->below(WORD_COUNT)];
    }
}

void add_field(std::string *out, Kind kind, int64_t row, Random *rng) {
    char num[64];
    if (kind != KIND_ID && rng->below(100) < 3) {
        *out += "\\N";
        return;
    }
    switch (kind) {
    case KIND_ID: snprintf(num, sizeof num, "%lld", static_cast<long long>(row + 1)); break;
    case KIND_WORD: *out += WORDS[rng->below(WORD_COUNT)]; return;
    case KIND_TEXT: add_text(out, rng); return;
    case KIND_NUMBER:
        snprintf(num, sizeof num, "%u.%02u", rng->below(100000), rng->below(100));
        break;
    case KIND_DATE:
        snprintf(num, sizeof num, "%04u-%02u-%02u", 1990 + rng->below(35), 1 + rng->below(12),
                 1 + rng->below(28));
        break;
    }
    *out += num;
}

// The column that takes a wide row's padding: the last text column, else the last.
int padded_column(int cols) {
    for (int c = cols - 1; c >= 0; --c)
        if (kind_of(c) == KIND_TEXT) return c;
    return cols - 1;
}

// Words and blanks up to `bytes` more bytes.
void add_padding(std::string *out, size_t bytes, Random *rng) {
    const size_t end = out->size() + bytes;
    while (out->size() < end) {
        *out += ' ';
        out->append(WORDS[rng->below(WORD_COUNT)], 0, end - out->size());
    }
}

// The bytes written so far go out once they pass 1 MiB.
void flush_some(std::string *out, FILE *f) {
    if (out->size() < (1u << 20)) return;
    fwrite(out->data(), 1, out->size(), f);
    out->clear();
}

// The magic, the SQL section (with comment lines up to sql_bytes), the INFO section and the data
// block's header line, written to f but for the last bytes, which stay in `out`.
void head(std::string *out, int cols, long long sql_bytes, FILE *f) {
    std::string &s = *out;
    s = "KMZTAB01\x01[SQL]\n";
    long long sql_len = -static_cast<long long>(s.size());
    s += "CREATE TABLE public.bench (\n";
    for (int c = 0; c < cols; ++c) {
        s += "    c";
        s += std::to_string(c);
        s += ' ';
        s += sql_type(kind_of(c));
        s += c + 1 < cols ? ",\n" : "\n";
    }
    s += ");\n";
    sql_len += static_cast<long long>(s.size());
    for (long long line = 0; sql_len + 100 <= sql_bytes; ++line, sql_len += 100) {
        char text[100];
        snprintf(text, sizeof text, "-- statement %012lld of the table's history, kept as written",
                 line);
        s += text;
        s += std::string(99 - std::strlen(text), '.') + "\n";
        flush_some(out, f);
    }
    s += "\x01[INFO]\nGenerated benchmark table public.bench.\nDeterministic content.\n";
    s += "\x01[DATA]\nCOPY public.bench (";
    for (int c = 0; c < cols; ++c) {
        if (c > 0) s += ", ";
        s += 'c';
        s += std::to_string(c);
    }
    s += ") FROM stdin;\n";
}

bool parse_count(const char *text, long long max, long long *out) {
    char *end = nullptr;
    long long v = strtoll(text, &end, 10);
    if (!end || *end || v < 0 || v > max) return false;
    *out = v;
    return true;
}

} // namespace

int main(int argc, char **argv) {
    long long rows = 0, cols = 0, seed = 1, row_bytes = 0, sql_bytes = 0;
    std::vector<const char *> args;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const bool row_flag = std::strcmp(argv[i], "--row-bytes") == 0;
        if (row_flag || std::strcmp(argv[i], "--sql-bytes") == 0) {
            ok = ok && i + 1 < argc &&
                 parse_count(argv[i + 1], 1LL << 40, row_flag ? &row_bytes : &sql_bytes);
            ++i;
        } else {
            args.push_back(argv[i]);
        }
    }
    if (!ok || args.size() < 3 || args.size() > 4 || !parse_count(args[1], 100000000, &rows) ||
        !parse_count(args[2], 10000, &cols) || cols < 1 ||
        (args.size() == 4 && !parse_count(args[3], 1LL << 62, &seed))) {
        fprintf(stderr,
                "usage: gen_dump OUT.pg ROWS COLS [SEED] [--row-bytes N] [--sql-bytes N]\n");
        return 2;
    }
    FILE *f = fopen(args[0], "wb");
    if (!f) {
        perror(args[0]);
        return 1;
    }
    Random rng{static_cast<uint64_t>(seed)};
    std::string out;
    head(&out, static_cast<int>(cols), sql_bytes, f);
    const int padded = padded_column(static_cast<int>(cols));
    for (long long r = 0; r < rows; ++r) {
        const size_t row_start = out.size();
        size_t pad_at = 0;
        for (int c = 0; c < cols; ++c) {
            if (c > 0) out += '\t';
            add_field(&out, kind_of(c), r, &rng);
            if (c == padded) pad_at = out.size();
        }
        const size_t row_len = out.size() - row_start;
        if (row_bytes > 0 && static_cast<size_t>(row_bytes) > row_len) {
            std::string tail = out.substr(pad_at);
            out.resize(pad_at);
            add_padding(&out, static_cast<size_t>(row_bytes) - row_len, &rng);
            out += tail;
        }
        out += '\n';
        flush_some(&out, f);
    }
    out += "\\.\n";
    fwrite(out.data(), 1, out.size(), f);
    if (fclose(f) != 0) {
        perror(args[0]);
        return 1;
    }
    return 0;
}
