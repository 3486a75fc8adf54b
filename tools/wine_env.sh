# Sourced by the scripts that run Windows programs: a Wine prefix inside the build tree (or the
# caller's WINEPREFIX), quiet, with no prompts for Mono or Gecko.
WINEPREFIX="${WINEPREFIX:-$(pwd)/build/wineprefix}"
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

# Starts one persistent wine server and the prefix's services, with their output going nowhere so
# that they cannot hold a test runner's output pipe open. Run it with the X display the programs
# will use (under xvfb-run): the desktop process it starts stays bound to that display.
wine_start() {
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot --init </dev/null >/dev/null 2>&1 || true
}

wine_stop() {
    wineserver -k 2>/dev/null || true
}
