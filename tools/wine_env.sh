# Sourced by the scripts that run Windows programs: a project-local Wine prefix, quiet, with no
# prompts for Mono or Gecko, and one wine server kept alive across the many short runs.
WINEPREFIX="$(pwd)/build/wineprefix"
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

# The server and the services the first program starts outlive it; started here with their output
# going nowhere, they cannot hold a test runner's output pipe open.
wine_start() {
    mkdir -p "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine: creating the prefix in $WINEPREFIX"
    fi
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot --init </dev/null >/dev/null 2>&1 || true
}

wine_stop() {
    wineserver -k 2>/dev/null || true
}
