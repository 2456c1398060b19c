#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Closing the main window through the window manager (Alt+F4 in openbox) ends
# the whole program, the hidden splash included; a click on the splash frame
# opens the main window, a click on a label does not.
TEST_NAME=close-main-window
source "$(dirname "$0")/x_session.sh"
trap stop_x_session EXIT
start_x_session

start_gradolux
splash=$(wait_for_active_window splash) || fail "the splash window did not appear with the focus"
# A click on a label does nothing; one on the frame's empty surface goes on.
click_described "$splash" frmSplash lblWarning
settle "$splash" || fail "the splash did not answer"
[[ "$(map_state "$splash")" == IsViewable ]] || fail "a click on the label closed the splash"
[[ -z "$(xdotool search --all --pid "$APP_PID" --name 'Bewerten')" ]] || fail "a click on the label opened the main window"
click_described "$splash" frmSplash Frame1
main=$(wait_for_active_window "Bewerten und Beurteilen") || fail "a click on the splash frame did not open the main window"

xdotool key alt+F4
wait_for_exit || fail "closing the main window left the program running"
[[ "$EXIT_CODE" == 0 ]] || fail "exit code $EXIT_CODE"
echo "close main window: passed"
