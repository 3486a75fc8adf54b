#!/bin/sh
# Formats every C++ source the format check reads, in place.
cd "$(dirname "$0")/.."
find src tests tools bench fuzz -name '*.cpp' -o -name '*.h' | grep -v '/corpus/' | xargs clang-format -i
