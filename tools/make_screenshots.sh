#!/bin/sh
# Regenerates the README's pictures, docs/screenshot.png, docs/screenshot-fullsql.png and
# docs/screenshot-150.png (the Data tab at 150 %), with the host's headless mode from a bundled
# sample. Builds the windows preset first. Taken under Wine's
# default prefix, whose code page is 8-bit, as most Windows installations are: the viewer's text
# is Unicode throughout, so the sample's Cyrillic, Greek and accented names show as written.
set -eu
cd "$(dirname "$0")/.."

sample=examples/order_lines.pg
# TAVRIN_BUILD_DIR lets a second working copy of the build sit beside the usual one.
build=${TAVRIN_BUILD_DIR:-build/windows}
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target tavrin_host
host=$build/tools/host/tavrin_host.exe
mkdir -p docs

xvfb-run -a -s "-screen 0 1280x1024x24" sh tools/under_wine.sh sh -c "
    wine $host --screenshot docs/screenshot.png \
        --keys 'Down Down Right Shift+Down Shift+Down Shift+Right' $sample &&
    wine $host --screenshot docs/screenshot-fullsql.png \
        --keys '4 Ctrl+End PageUp PageUp PageUp Down Down Shift+Down Shift+End' $sample"

# The Data tab at a display scale of 150 % (144 DPI) in a window as much larger. Wine has one DPI
# a session, read from the prefix's LogPixels as each program starts: this one runs in a prefix of
# its own that says 144, so the tests' prefix is never changed.
WINEPREFIX="$(pwd)/build/wineprefix-150" xvfb-run -a -s "-screen 0 1600x1200x24" \
    sh tools/under_wine.sh sh -c "
    wine reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
        >/dev/null 2>&1 &&
    wine $host --screenshot docs/screenshot-150.png --size 1440x840 \
        --keys 'Down Down Right Shift+Down Shift+Down Shift+Right' $sample"
