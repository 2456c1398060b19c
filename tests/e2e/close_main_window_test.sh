#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Closing the main window through the window manager (Alt+F4 in openbox) ends
# the whole program, the hidden splash included; a click on the splash frame
# opens the main window.
TEST_NAME=close-main-window
source "$(dirname "$0")/x_session.sh"
trap stop_x_session EXIT
start_x_session

start_gradolux
splash=$(wait_for_window splash) || fail "the splash window did not appear"
# A click on a label does nothing; one on the frame's empty surface goes on.
click_twips "$splash" 3600 3780
sleep 0.3
[[ "$(map_state "$splash")" == IsViewable ]] || fail "a click on the label closed the splash"
click_twips "$splash" 600 3300
main=$(wait_for_window "Bewerten und Beurteilen") || fail "a click on the splash frame did not open the main window"

xdotool windowactivate --sync "$main" key alt+F4
wait_for_exit || fail "closing the main window left the program running"
[[ "$EXIT_CODE" == 0 ]] || fail "exit code $EXIT_CODE"
echo "close main window: passed"
