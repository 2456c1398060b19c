#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the Windows builds under Wine, in a private prefix made fresh for the
# run: the registry reader and program starter, and the version record and
# icon group of the executable. Skipped only when
# GRADOLUX_SKIP_WINE=1 is set; a missing Wine is a failure, not a skip.
#   run_wine_tests.sh WINE_BUILD_DIR
set -euo pipefail
build=$1

if [[ "${GRADOLUX_SKIP_WINE:-}" == 1 ]]; then
    echo "Wine tests skipped: GRADOLUX_SKIP_WINE=1"
    exit 77
fi
command -v wine >/dev/null || { echo "wine is not installed (scripts/bootstrap installs it)" >&2; exit 1; }

export WINEPREFIX=$build/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
rm -rf "$WINEPREFIX"
wineboot --init >/dev/null 2>&1
wineserver --wait 2>/dev/null || true
status=0
wine "$build/wine_sysinfo_test.exe" "$(winepath -w "$build/start_marker.exe")" | tr -d '\r' || status=$?
wine "$build/wine_version_test.exe" "$(winepath -w "$build/version_probe.exe")" | tr -d '\r' || status=$?
wineserver --kill 2>/dev/null || true
exit $status
