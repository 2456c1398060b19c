#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The typical use, end to end, in a real X server: the splash appears, keys
# that type nothing leave it up, a key opens the calculator (centred on the
# screen, frame included) and hides the splash, a calculation, a changed
# option, and "Programm Beenden" ends the process with exit code 0. R's
# decimal separator follows the locale given:
#   typical_use_test.sh LOCALE SEPARATOR
TEST_NAME=typical-use-${1%%.*}
source "$(dirname "$0")/x_session.sh"
trap stop_x_session EXIT
start_x_session
APP_LOCALE=$1
separator=$2

# Under German settings the keyboard is German too, and the key that opens
# the calculator is AltGr+Q, which types "@".
opening_key=x
if [[ "$APP_LOCALE" == de_DE* ]]; then
    setxkbmap de || fail "the German keyboard layout could not be set"
    opening_key=ISO_Level3_Shift+q
fi

start_gradolux
splash=$(wait_for_active_window splash) || fail "the splash window did not appear with the focus"
[[ -z "$(xdotool search --all --onlyvisible --pid "$APP_PID" --name 'Bewerten')" ]] || fail "the main window exists before a key"

# Keys that type no character leave the splash up.
xdotool key shift Left F5 Delete KP_Delete Insert
settle "$splash" || fail "the splash did not answer"
[[ "$(map_state "$splash")" == IsViewable ]] || fail "a key without a character closed the splash"
[[ -z "$(xdotool search --all --pid "$APP_PID" --name 'Bewerten')" ]] || fail "a key without a character opened the main window"

xdotool key "$opening_key"
main=$(wait_for_active_window "Bewerten und Beurteilen") || fail "$opening_key on the splash did not open the main window"
wait_until_unmapped "$splash" || fail "the splash stayed visible"

# The whole window, frame included, is centred on the 1280 x 1024 screen.
read -r left right top bottom < <(xprop -id "$main" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
eval "$(xdotool getwindowgeometry --shell "$main")"
client_x=$(xwininfo -id "$main" | sed -n 's/.*Absolute upper-left X: *//p')
client_y=$(xwininfo -id "$main" | sed -n 's/.*Absolute upper-left Y: *//p')
centre_x=$((client_x - left + (left + WIDTH + right) / 2))
centre_y=$((client_y - top + (top + HEIGHT + bottom) / 2))
((centre_x >= 638 && centre_x <= 642 && centre_y >= 510 && centre_y <= 514)) ||
    fail "the main window's centre is at ($centre_x, $centre_y), not (640, 512)"

# A = 3 (Option2), H = 1 (Option8), W = 6 (Option17), then "Berechnen".
click_described "$main" Form1 Option2
click_described "$main" Form1 Option8
click_described "$main" Form1 Option17
click_described "$main" Form1 Command1
copy_text_of "$main" Form1 Text1 18 || fail "R is '$CLIPBOARD', expected 18"

# W = 0,2 (Option13): recomputed from the kept A and H, with the locale's separator.
click_described "$main" Form1 Option13
click_described "$main" Form1 Command1
copy_text_of "$main" Form1 Text1 "0${separator}6" || fail "R is '$CLIPBOARD', expected 0${separator}6"
screenshot "$TEST_NAME"

click_described "$main" Form1 Command2
wait_for_exit || fail "Programm Beenden did not end the program"
[[ "$EXIT_CODE" == 0 ]] || fail "exit code $EXIT_CODE"
echo "typical use: passed"
