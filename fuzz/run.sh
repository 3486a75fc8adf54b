#!/bin/sh
# Fuzzes the document and grid readers with libFuzzer and AddressSanitizer for SECONDS (default
# 60), growing fuzz/corpus. Needs clang (Debian's clang package).
set -eu
cd "$(dirname "$0")/.."
command -v clang++ >/dev/null || { echo "fuzz: needs clang++ (apt-get install clang)" >&2; exit 1; }
out=build/fuzz
mkdir -p "$out/corpus_new"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc \
    fuzz/document_fuzz.cpp src/document/*.cpp src/grid/*.cpp -o "$out/document_fuzz"
"$out/document_fuzz" -max_total_time="${1:-60}" -max_len=4096 "$out/corpus_new" fuzz/corpus \
    2>&1 | tail -5 || true
"$out/document_fuzz" -merge=1 fuzz/corpus "$out/corpus_new" >/dev/null 2>&1 || true
