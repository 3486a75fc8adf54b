#!/bin/sh
# Installs what is missing, builds the presets and runs every test: natively, under sanitizers
# with the fuzz targets, then the Windows build under Wine inside a virtual X display. Ends with
# CTest's summary of the Windows run.
set -eu
cd "$(dirname "$0")/.."

sh tools/setup.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

# The same tests under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer, and each
# fuzz target for a bounded time.
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

cmake --preset windows
cmake --build --preset windows

xvfb-run -a -s "-screen 0 1280x1024x24" sh tools/under_wine.sh ctest --preset windows
