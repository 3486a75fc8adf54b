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
    wine_link_fonts
}

# Windows draws a character its font lacks from a linked font of its own; Wine does so only for
# the links the prefix names. The fonts Wine finds here (DejaVu) have no CJK glyphs, so they are
# linked to WenQuanYi Micro Hei when the system has it. Once per prefix.
wine_link_fonts() {
    fonts=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
    [ -f "$fonts" ] || return 0
    grep -q 'wqy-microhei' "$WINEPREFIX/system.reg" 2>/dev/null && return 0
    key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    wine reg add "$key" /v "DejaVu Sans" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" \
        /f </dev/null >/dev/null 2>&1 || true
    wine reg add "$key" /v "DejaVu Sans Mono" /t REG_MULTI_SZ \
        /d "wqy-microhei.ttc,WenQuanYi Micro Hei Mono" /f </dev/null >/dev/null 2>&1 || true
}

wine_stop() {
    wineserver -k 2>/dev/null || true
}
