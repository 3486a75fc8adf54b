// zlib streams (RFC 1950) holding one deflate block with the fixed Huffman codes (RFC 1951).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Compresses `size` bytes into a complete zlib stream: header, one final fixed-code deflate block
// of literals and back-references found by a greedy 3-byte hash search within 32 KiB, and the
// Adler-32 of the input. Screenshots are mostly runs of one colour, which that alone shrinks
// several hundred times, so the dynamic codes would buy little.
std::vector<unsigned char> zlib_compress(const unsigned char *data, size_t size);

// The Adler-32 checksum of `size` bytes.
uint32_t adler32(const unsigned char *data, size_t size);
