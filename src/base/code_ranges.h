// Sets of code points written as sorted ranges: the character tables the views and find look up.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Code points lo..hi, both included.
struct CodeRange {
    uint32_t lo, hi;
};

// Whether cp lies in one of the n ranges, which are sorted by lo and never overlap. Costs a binary
// search.
bool code_in_ranges(uint32_t cp, const CodeRange *ranges, size_t n);
