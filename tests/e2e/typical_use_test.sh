#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The typical use, end to end, in a real X server: the splash appears, a key
# opens the calculator and hides the splash, a calculation, a changed option,
# and "Programm Beenden" ends the process with exit code 0. R's decimal
# separator follows the locale given:  typical_use_test.sh LOCALE SEPARATOR
TEST_NAME=typical-use-${1%%.*}
source "$(dirname "$0")/x_session.sh"
trap stop_x_session EXIT
start_x_session
APP_LOCALE=$1
separator=$2

start_gradolux
splash=$(wait_for_window splash) || fail "the splash window did not appear"
[[ -z "$(xdotool search --all --onlyvisible --pid "$APP_PID" --name 'Bewerten')" ]] || fail "the main window exists before a key"

# Keys that type no character leave the splash up.
xdotool key shift Left F5
sleep 0.3
[[ "$(map_state "$splash")" == IsViewable ]] || fail "a key without a character closed the splash"

xdotool key x
main=$(wait_for_window "Bewerten und Beurteilen") || fail "a key on the splash did not open the main window"
wait_until_unmapped "$splash" || fail "the splash stayed visible"

# A = 3 (Option2), H = 1 (Option8), W = 6 (Option17), then "Berechnen".
click_twips "$main" 1800 1440
click_twips "$main" 1200 4200
click_twips "$main" 5400 5250
click_twips "$main" 7900 7980
r=$(copy_text_at "$main" 9180 6180)
[[ "$r" == 18 ]] || fail "R is '$r', expected 18"

# W = 0,2 (Option13): recomputed from the kept A and H, with the locale's separator.
click_twips "$main" 5400 4000
click_twips "$main" 7900 7980
r=$(copy_text_at "$main" 9180 6180)
[[ "$r" == "0${separator}6" ]] || fail "R is '$r', expected 0${separator}6"
screenshot "$TEST_NAME"

click_twips "$main" 7900 8460
wait_for_exit || fail "Programm Beenden did not end the program"
[[ "$EXIT_CODE" == 0 ]] || fail "exit code $EXIT_CODE"
echo "typical use: passed"
