#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The About dialog in a real X server: "Programminfo" twice gives one dialog;
# Escape and every Enter (main keyboard, keypad, with Shift) close it; Alt+S,
# with no System Information tool on this system, shows the message box;
# "Programm Beenden" with the dialog open ends the process with exit code 0.
TEST_NAME=about-dialog
source "$(dirname "$0")/x_session.sh"
trap stop_x_session EXIT
start_x_session

count_windows() {
    local count=0 id
    for id in $(xdotool search --all --onlyvisible --pid "$APP_PID" --name "$1" 2>/dev/null); do
        [[ "$(xdotool getwindowname "$id")" == "$1" ]] && count=$((count + 1))
    done
    echo "$count"
}

count_is() {
    [[ "$(count_windows "$1")" == "$2" ]]
}

open_about() {
    click_described "$main" Form1 Command3
    about=$(wait_for_active_window "Info zu Gradolux") || fail "Programminfo did not open the About dialog with the focus"
}

start_gradolux
wait_for_active_window splash >/dev/null || fail "the splash window did not appear with the focus"
xdotool key Return
main=$(wait_for_active_window "Bewerten und Beurteilen") || fail "the main window did not appear"

open_about
click_described "$main" Form1 Command3
settle "$main" || fail "the main window did not answer"
[[ "$(count_windows "Info zu Gradolux")" == 1 ]] || fail "Programminfo twice gave $(count_windows "Info zu Gradolux") dialogs"
wait_for_focus "$about" || fail "the About dialog did not come to the front with the focus"
screenshot about-dialog

for key in Escape Return KP_Enter shift+Return; do
    wait_for_focus "$about" || fail "the About dialog lost the focus"
    xdotool key "$key"
    wait_until count_is "Info zu Gradolux" 0 || fail "$key did not close the About dialog"
    open_about
done

xdotool key alt+s
box=$(wait_for_active_window "=Gradolux") || fail "Alt+S did not show the message box"
screenshot message-box
xdotool key Return
wait_until count_is "Gradolux" 0 || fail "Enter did not close the message box"
wait_for_focus "$about" || fail "the focus did not return to the About dialog"
[[ "$(count_windows "Info zu Gradolux")" == 1 ]] || fail "the About dialog did not stay open"

click_described "$main" Form1 Command2
wait_for_exit || fail "Programm Beenden with the About dialog open did not end the program"
[[ "$EXIT_CODE" == 0 ]] || fail "exit code $EXIT_CODE"
echo "about dialog: passed"
