// Counting distinct values in a few kilobytes, as HyperLogLog does (Flajolet et al., 2007): for
// a column whose distinct values would not fit the summary's memory.
#pragma once

#include <stdint.h>

// 2^14 registers: a standard error of about 0.8 %.
enum { DISTINCT_BITS = 14, DISTINCT_REGISTERS = 1 << DISTINCT_BITS };

// Each register holds the longest run of leading zeros (plus one) seen among the hashes whose
// first DISTINCT_BITS bits pick it. Lives where its owner puts it; a zeroed one has seen nothing.
struct DistinctEstimate {
    uint8_t registers[DISTINCT_REGISTERS];
};

// Notes a value by a 64-bit hash of it; equal values must give equal hashes, and the bits must look
// random (distinct_mix makes them so).
inline void distinct_note(DistinctEstimate *d, uint64_t hash) {
    const uint32_t r = static_cast<uint32_t>(hash >> (64 - DISTINCT_BITS));
    const uint64_t rest = hash << DISTINCT_BITS | (1ull << (DISTINCT_BITS - 1));
    const uint8_t rank = static_cast<uint8_t>(__builtin_clzll(rest) + 1);
    if (rank > d->registers[r]) d->registers[r] = rank;
}

// A 64-bit value's bits mixed (splitmix64's finaliser).
inline uint64_t distinct_mix(uint64_t x) {
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// The estimate of how many distinct values were noted, with the small-range correction (linear
// counting while registers are still empty).
uint64_t distinct_count(const DistinctEstimate *d);
