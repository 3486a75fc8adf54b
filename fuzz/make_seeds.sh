#!/bin/sh
# Rewrites the fuzz targets' seed inputs (fuzz/corpus/*/seed-*) from the sample dumps, the
# tests' hostile files and the export tests' server-checked dump.
set -eu
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target make_seeds >/dev/null
build/native/fuzz/make_seeds examples fuzz/corpus
cp tests/export/fixtures/tricky.pg fuzz/corpus/export/seed-export-tricky
