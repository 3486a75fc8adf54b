// gen_dump: writes a deterministic dump container of ROWS rows and COLS columns for benchmarks.
//
//   gen_dump OUT.pg ROWS COLS [SEED]
//
// The columns cycle through the kinds a real table holds (id, short word, longer text, number,
// date), with some NULLs and COPY escapes in the text, so that row lengths and field boundaries
// look like a real dump: 1,000,000 rows of 10 columns come to about 100 MB. The same arguments
// always give the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

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

std::string head(int cols) {
    std::string s = "KMZTAB01";
    s += "\x01[SQL]\nCREATE TABLE public.bench (\n";
    for (int c = 0; c < cols; ++c) {
        s += "    c";
        s += std::to_string(c);
        s += ' ';
        s += sql_type(kind_of(c));
        s += c + 1 < cols ? ",\n" : "\n";
    }
    s += ");\n";
    s += "\x01[INFO]\nGenerated benchmark table public.bench.\nDeterministic content.\n";
    s += "\x01[DATA]\nCOPY public.bench (";
    for (int c = 0; c < cols; ++c) {
        if (c > 0) s += ", ";
        s += 'c';
        s += std::to_string(c);
    }
    s += ") FROM stdin;\n";
    return s;
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
    long long rows = 0, cols = 0, seed = 1;
    if (argc < 4 || argc > 5 || !parse_count(argv[2], 100000000, &rows) ||
        !parse_count(argv[3], 10000, &cols) || cols < 1 ||
        (argc == 5 && !parse_count(argv[4], 1LL << 62, &seed))) {
        fprintf(stderr, "usage: gen_dump OUT.pg ROWS COLS [SEED]\n");
        return 2;
    }
    FILE *f = fopen(argv[1], "wb");
    if (!f) {
        perror(argv[1]);
        return 1;
    }
    Random rng{static_cast<uint64_t>(seed)};
    std::string out = head(static_cast<int>(cols));
    for (long long r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (c > 0) out += '\t';
            add_field(&out, kind_of(c), r, &rng);
        }
        out += '\n';
        if (out.size() >= (1u << 20)) {
            fwrite(out.data(), 1, out.size(), f);
            out.clear();
        }
    }
    out += "\\.\n";
    fwrite(out.data(), 1, out.size(), f);
    if (fclose(f) != 0) {
        perror(argv[1]);
        return 1;
    }
    return 0;
}
