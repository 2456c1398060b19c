#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package from a build tree, checks its control data and
# file list, runs lintian, validates its desktop entry and AppStream data, unpacks it into a
# temporary root and starts the unpacked program in a real X server: splash,
# a key, the calculator, "Programm Beenden", exit code 0.
#   package_test.sh BUILD_DIR
TEST_NAME=package
source "$(dirname "$0")/../e2e/x_session.sh"
build=$1
work=$(mktemp -d)
trap 'stop_x_session; rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
deb="$work/out/gradolux_1.3.0_amd64.deb"
[[ -f "$deb" ]] || fail "no gradolux_1.3.0_amd64.deb: $(ls "$work/out")"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in fonts-liberation2 qt6-qpa-plugins qt6-translations-l10n 'libqt6widgets6 (>=' 'libc6 (>='; do
    [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
[[ "$(dpkg-deb -f "$deb" Package) $(dpkg-deb -f "$deb" Version) $(dpkg-deb -f "$deb" Architecture)" == "gradolux 1.3.0 amd64" ]] ||
    fail "wrong package name, version or architecture"

# Debian's own checks: no error and no warning.
lintian_report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian:
$lintian_report"
[[ -z "$(grep -E '^[EW]: ' <<<"$lintian_report")" ]] || fail "lintian:
$lintian_report"

dpkg-deb -x "$deb" "$work/root"
id=org.gradolux.Gradolux
expected=(
    usr/bin/gradolux
    usr/share/applications/$id.desktop
    usr/share/metainfo/$id.metainfo.xml
    usr/share/doc/gradolux/copyright
    usr/share/doc/gradolux/changelog.gz
    usr/share/man/man1/gradolux.1.gz
    usr/share/icons/hicolor/scalable/apps/$id.svg
)
for size in 16 32 48 64 128 256; do
    expected+=(usr/share/icons/hicolor/${size}x${size}/apps/$id.png)
done
actual=$(cd "$work/root" && find . -type f | sed 's|^\./||' | sort)
[[ "$actual" == "$(printf '%s\n' "${expected[@]}" | sort)" ]] || fail "unexpected file list:
$actual"
[[ -x "$work/root/usr/bin/gradolux" ]] || fail "the program is not executable"
grep -q 'MIT' "$work/root/usr/share/doc/gradolux/copyright" || fail "the copyright file names no licence"

desktop-file-validate "$work/root/usr/share/applications/$id.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml" || fail "the AppStream data is not valid"
grep -q '<release version="1.3.0"' "$work/root/usr/share/metainfo/$id.metainfo.xml" || fail "no release 1.3.0"

start_x_session
GRADOLUX="$work/root/usr/bin/gradolux"
start_gradolux
wait_for_active_window splash >/dev/null || fail "the unpacked program showed no splash"
xdotool key space
main=$(wait_for_active_window "Bewerten und Beurteilen") || fail "the unpacked program showed no calculator"
click_described "$main" Form1 Command2
wait_for_exit || fail "the unpacked program did not end"
[[ "$EXIT_CODE" == 0 ]] || fail "exit code $EXIT_CODE"
echo "package: passed"
