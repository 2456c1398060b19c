#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the Windows builds under Wine, in a private prefix made fresh for the
# run: the registry reader and program starter, the version record and icon
# group of Gradolux.exe, the Qt-free unit tests, the back-end contract
# against the Win32 back end, and Gradolux.exe end to end. Skipped only when
# GRADOLUX_SKIP_WINE=1 is set; a missing Wine is a failure, not a skip.
#   run_wine_tests.sh WINDOWS_BUILD_DIR VERSION NEXT_BUILD_DIR NEXT_VERSION
set -euo pipefail
build=$1 version=$2 next_build=$3 next_version=$4

if [[ "${GRADOLUX_SKIP_WINE:-}" == 1 ]]; then
    echo "Wine tests skipped: GRADOLUX_SKIP_WINE=1"
    exit 77
fi
command -v wine >/dev/null || { echo "wine is not installed (scripts/bootstrap installs it)" >&2; exit 1; }

# Every Windows program runs under this locale unless a test says otherwise.
export LC_ALL=C.UTF-8 LANG=C.UTF-8
source "$(dirname "$0")/wine_prefix.sh"
make_wine_prefix "$build/prefix"
status=0
# Each program's output goes to a file: Wine's helper processes would hold a
# pipe open long after the program has ended.
run() {
    local name=$1 code=0
    shift
    wine "$build/$name.exe" "$@" >"$build/$name.log" 2>&1 || code=$?
    tr -d '\r' <"$build/$name.log"
    if ((code != 0)); then
        echo "FAIL: $name ended with exit code $code" >&2
        status=1
    fi
}
run wine_sysinfo_test "$(winepath -w "$build/start_marker.exe")"
run wine_version_test "$(winepath -w "$build/Gradolux.exe")"
# The Qt-free unit tests, as a Windows build runs them.
for tests in risk_tests forms_tests handlers_tests about_tests; do
    run "$tests" --gtest_brief=1
done

# The back-end contract against the Win32 back end, in a real X server, at
# 96 dpi and at 144 dpi (Wine takes the resolution from the prefix).
: "${X_PING:?X_PING names tests/tools/x_ping (set by CTest)}"
GRADOLUX=none GRAB_SCREEN=${GRAB_SCREEN:-true} READ_CLIPBOARD=true ARTIFACTS=$build/artifacts
source "$(dirname "$0")/../e2e/x_session.sh"
trap stop_x_session EXIT
start_x_session
for dpi in 96 144; do
    set_resolution "$dpi"
    run win32_contract_test --gtest_brief=1
    grep -q "laid out at $dpi dpi" "$build/win32_contract_test.log" || { echo "FAIL: not laid out at $dpi dpi" >&2; status=1; }
done

# Gradolux.exe itself, used as a person uses it, at 96 dpi.
set_resolution 96
BUILD=$build VERSION=$version
source "$(dirname "$0")/windows_e2e.sh"
windows_typical_use de_DE.UTF-8 , || status=1
windows_typical_use en_US.UTF-8 . || status=1
windows_keyboard_and_about || status=1
windows_close_main_window || status=1
windows_window_frames || status=1
windows_text_box_label || status=1
windows_modal_message_box || status=1
windows_plain_letters || status=1
windows_screen_reader || status=1
windows_calculations de_DE.UTF-8 , || status=1
windows_calculations en_US.UTF-8 . || status=1
windows_installer "$build/packages" || status=1
for dpi in 144 96; do
    windows_layout $dpi || status=1
done

# The packages as an IT department deploys them: signed, upgraded, refused, removed.
NEXT=$next_build/packages NEXT_VERSION=$next_version NEXT_EXE=$next_build/Gradolux.exe
PACKAGES_SCRIPT=$(dirname "$0")/../../resources/windows/packages/make_packages.sh
NSIS_SCRIPT=$(dirname "$0")/../../resources/windows/packages/installer.nsi
LICENCE=$(dirname "$0")/../../LICENSE PACKAGE_CODE=$(cat "$build/msi_package_code.txt")
UPGRADE_CODE=$(cat "$build/msi_upgrade_code.txt")
source "$(dirname "$0")/windows_deploy.sh"
if windows_signed_packages; then
    windows_msi_upgrade || status=1
    windows_nsis_upgrade || status=1
else
    status=1
fi
windows_msi_folder_and_running || status=1
windows_nsis_folder_and_running || status=1
windows_msi_database || status=1
windows_one_product || status=1
wineserver --kill 2>/dev/null || true
exit $status
