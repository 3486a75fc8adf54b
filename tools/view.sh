#!/bin/sh
# Opens a dump container in the viewer: installs what is missing, builds the windows preset and
# runs tavrin_host.exe under Wine. Without a display it writes a screenshot instead.
#   sh tools/view.sh [FILE.pg] [OUT.png]
# FILE defaults to a bundled sample; OUT (used only without a display) to out/view.png.
set -eu

# Paths are taken relative to where the caller stands, before moving to the repository.
abs() { case "$1" in /*) printf '%s\n' "$1" ;; *) printf '%s/%s\n' "$(pwd)" "$1" ;; esac; }
repo=$(cd "$(dirname "$0")/.." && pwd)
file=$(abs "${1:-$repo/examples/order_lines.pg}")
out=$(abs "${2:-$repo/out/view.png}")
cd "$repo"

if [ ! -f "$file" ]; then
    echo "view: no such file: $file" >&2
    exit 1
fi

# Installing packages needs root; everything after it runs as the caller.
if [ "$(id -u)" -eq 0 ] || ! command -v sudo >/dev/null 2>&1; then
    sh tools/setup.sh
else
    sh tools/setup.sh 2>/dev/null || sudo sh tools/setup.sh
fi

# TAVRIN_BUILD_DIR lets a second working copy of the build sit beside the usual one.
build=${TAVRIN_BUILD_DIR:-build/windows}
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target tavrin_host
host=$build/tools/host/tavrin_host.exe

if [ -n "${DISPLAY:-}" ]; then
    . tools/wine_env.sh
    wine_start
    status=0
    wine "$host" "$file" || status=$?
    wine_stop
    exit $status
fi

mkdir -p "$(dirname "$out")"
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" sh tools/under_wine.sh \
    wine "$host" --screenshot "$out" "$file" >/dev/null || status=$?
if [ -f "$out" ]; then
    echo "view: no display (DISPLAY is not set), so the viewer was drawn off screen: $out"
fi
exit $status
