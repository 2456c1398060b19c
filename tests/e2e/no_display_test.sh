#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Without a display the program says so in one German line naming the display
# it tried, ends with exit code 1 and leaves no core file: with DISPLAY unset,
# and with a display no X server serves.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
ulimit -c unlimited 2>/dev/null || true

check() {
    local expected=$1
    shift
    local code=0
    env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY "$@" LC_ALL=C.UTF-8 "$GRADOLUX" >"$work/out" 2>"$work/err" || code=$?
    [[ "$code" == 1 ]] || { echo "FAIL: exit code $code, expected 1 ($*)" >&2; cat "$work/err" >&2; exit 1; }
    [[ ! -s "$work/out" ]] || { echo "FAIL: output on stdout: $(cat "$work/out")" >&2; exit 1; }
    [[ "$(cat "$work/err")" == "$expected" ]] || { echo "FAIL: the program said:" >&2; cat "$work/err" >&2; exit 1; }
    [[ -z "$(find "$work" -name 'core*')" ]] || { echo "FAIL: a core file was left" >&2; exit 1; }
}

check "Gradolux: Keine Anzeige angegeben (DISPLAY ist nicht gesetzt); das Programm braucht eine grafische Oberfläche." \
    -u DISPLAY
# Display numbers this high are served by no X server here.
check "Gradolux: Die Anzeige „:4711“ lässt sich nicht öffnen." DISPLAY=:4711
echo "no display: passed"
