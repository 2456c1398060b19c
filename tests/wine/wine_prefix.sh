# SPDX-License-Identifier: MIT
# A private Wine prefix made fresh in FOLDER, 64-bit, with the classic
# colour scheme (a fresh prefix has a light theme, whose scroll-bar colour is
# white), and its resolution. Sourced; exports WINEPREFIX and Wine's quiet
# settings.
#   make_wine_prefix FOLDER
make_wine_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
    rm -rf "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver --wait 2>/dev/null || true
    wine regedit "$(winepath -w "$(dirname "${BASH_SOURCE[0]}")/classic_colours.reg")" >/dev/null 2>&1
    wineserver --wait 2>/dev/null || true
}

# Sets the prefix's resolution in dots per inch; Wine takes it when it starts,
# so this waits for the running Wine to end.
#   set_resolution DPI
set_resolution() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver --wait 2>/dev/null || true
}
