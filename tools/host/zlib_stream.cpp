// Deflate with fixed Huffman codes and a greedy LZ77 search, wrapped as a zlib stream.
#include "host/zlib_stream.h"

namespace {

constexpr size_t MIN_MATCH = 3;
constexpr size_t MAX_MATCH = 258;
constexpr size_t WINDOW = 32768;
constexpr int HASH_BITS = 15;
constexpr int END_OF_BLOCK = 256;

// Bits go out least significant first, as deflate packs them.
struct BitWriter {
    std::vector<unsigned char> *out;
    uint32_t pending = 0;
    int count = 0;

    void put(uint32_t bits, int n) {
        pending |= bits << count;
        count += n;
        while (count >= 8) {
            out->push_back(static_cast<unsigned char>(pending));
            pending >>= 8;
            count -= 8;
        }
    }
    // Huffman codes are defined most significant bit first, so they are reversed on the way out.
    void put_code(uint32_t code, int n) {
        uint32_t reversed = 0;
        for (int i = 0; i < n; ++i) reversed |= ((code >> i) & 1u) << (n - 1 - i);
        put(reversed, n);
    }
    void flush() {
        if (count > 0) out->push_back(static_cast<unsigned char>(pending));
        pending = 0;
        count = 0;
    }
};

// The fixed literal/length code of RFC 1951 section 3.2.6.
void put_literal_or_length(BitWriter *bits, int symbol) {
    if (symbol < 144)
        bits->put_code(0x30 + symbol, 8);
    else if (symbol < 256)
        bits->put_code(0x190 + (symbol - 144), 9);
    else if (symbol < 280)
        bits->put_code(symbol - 256, 7);
    else
        bits->put_code(0xC0 + (symbol - 280), 8);
}

const int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const int kDistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                               33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                               1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void put_match(BitWriter *bits, int length, int distance) {
    int l = 28;
    while (kLengthBase[l] > length) --l;
    put_literal_or_length(bits, 257 + l);
    bits->put(static_cast<uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > distance) --d;
    bits->put_code(static_cast<uint32_t>(d), 5); // distance codes are all five bits long
    bits->put(static_cast<uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

uint32_t hash3(const unsigned char *p) {
    uint32_t v = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    return (v * 2654435761u) >> (32 - HASH_BITS);
}

// How many bytes from `at` repeat those from `earlier`, up to the longest match deflate can say.
size_t match_length(const unsigned char *data, size_t size, size_t earlier, size_t at) {
    size_t limit = size - at < MAX_MATCH ? size - at : MAX_MATCH;
    size_t n = 0;
    while (n < limit && data[earlier + n] == data[at + n]) ++n;
    return n;
}

void deflate_fixed(const unsigned char *data, size_t size, BitWriter *bits) {
    bits->put(1, 1); // final block
    bits->put(1, 2); // fixed Huffman codes
    // The latest position of each hashed 3-byte string, or -1.
    std::vector<long long> head(size_t(1) << HASH_BITS, -1);
    size_t i = 0;
    while (i < size) {
        size_t length = 0, distance = 0;
        if (i + MIN_MATCH <= size) {
            uint32_t h = hash3(data + i);
            long long candidate = head[h];
            head[h] = static_cast<long long>(i);
            if (candidate >= 0 && i - static_cast<size_t>(candidate) <= WINDOW) {
                distance = i - static_cast<size_t>(candidate);
                length = match_length(data, size, static_cast<size_t>(candidate), i);
            }
        }
        if (length < MIN_MATCH) {
            put_literal_or_length(bits, data[i]);
            ++i;
            continue;
        }
        put_match(bits, static_cast<int>(length), static_cast<int>(distance));
        // Positions inside the match are hashed too, so later strings can refer back into it.
        for (size_t k = i + 1; k < i + length && k + MIN_MATCH <= size; ++k)
            head[hash3(data + k)] = static_cast<long long>(k);
        i += length;
    }
    put_literal_or_length(bits, END_OF_BLOCK);
    bits->flush();
}

} // namespace

uint32_t adler32(const unsigned char *data, size_t size) {
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::vector<unsigned char> zlib_compress(const unsigned char *data, size_t size) {
    // 0x78 0x01: deflate with a 32 KiB window, no dictionary, header check bits making the pair a
    // multiple of 31.
    std::vector<unsigned char> out = {0x78, 0x01};
    BitWriter bits{&out};
    deflate_fixed(data, size, &bits);
    uint32_t check = adler32(data, size);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(check >> shift));
    return out;
}
