#!/bin/sh
# Regenerates the README's pictures, docs/screenshot.png and docs/screenshot-fullsql.png, with the
# host's headless mode from a bundled sample. Builds the windows preset first.
#
# The module hands grid cells and column headers to Windows as 8-bit text, which
# Windows reads in the system's ANSI code page. The pictures are taken with that code page set to
# UTF-8 (under Wine, a locale whose Windows counterpart has no ANSI code page of its own), so that
# the sample's non-ASCII text shows as a system set to UTF-8 shows it.
set -eu
cd "$(dirname "$0")/.."

sample=examples/order_lines.pg
# TAVRIN_BUILD_DIR lets a second working copy of the build sit beside the usual one.
build=${TAVRIN_BUILD_DIR:-build/windows}
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target tavrin_host
host=$build/tools/host/tavrin_host.exe
mkdir -p docs

LC_ALL=hi_IN.UTF-8 xvfb-run -a -s "-screen 0 1280x1024x24" sh tools/under_wine.sh sh -c "
    wine $host --screenshot docs/screenshot.png \
        --keys 'Down Down Right Shift+Down Shift+Down Shift+Right' $sample &&
    wine $host --screenshot docs/screenshot-fullsql.png --keys 4 $sample"
