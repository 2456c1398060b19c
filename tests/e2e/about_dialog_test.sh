#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The About dialog in a real X server: "Programminfo" twice gives one dialog;
# Escape and Enter close it; Alt+S, with no System Information tool on this
# system, shows the message box; "Programm Beenden" with the dialog open ends
# the process with exit code 0.
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

open_about() {
    click_twips "$main" 2100 8340
    about=$(wait_for_window "Info zu Gradolux") || fail "Programminfo did not open the About dialog"
    xdotool windowactivate --sync "$about" 2>/dev/null || true
    sleep 0.2
}

wait_for_count() {
    local name=$1 expected=$2 i
    for ((i = 0; i < 100; i++)); do
        [[ "$(count_windows "$name")" == "$expected" ]] && return 0
        sleep 0.05
    done
    return 1
}

start_gradolux
wait_for_window splash >/dev/null || fail "the splash window did not appear"
xdotool key Return
main=$(wait_for_window "Bewerten und Beurteilen") || fail "the main window did not appear"

open_about
click_twips "$main" 2100 8340
sleep 0.3
[[ "$(count_windows "Info zu Gradolux")" == 1 ]] || fail "Programminfo twice gave $(count_windows "Info zu Gradolux") dialogs"
screenshot about-dialog

for key in Escape Return; do
    xdotool windowactivate --sync "$about" key "$key" 2>/dev/null || true
    wait_for_count "Info zu Gradolux" 0 || fail "$key did not close the About dialog"
    open_about
done

xdotool key alt+s
wait_for_count "Gradolux" 1 || fail "Alt+S did not show the message box"
screenshot message-box
xdotool key Return
wait_for_count "Gradolux" 0 || fail "Enter did not close the message box"
[[ "$(count_windows "Info zu Gradolux")" == 1 ]] || fail "the About dialog did not stay open"

click_twips "$main" 7900 8460
wait_for_exit || fail "Programm Beenden with the About dialog open did not end the program"
[[ "$EXIT_CODE" == 0 ]] || fail "exit code $EXIT_CODE"
echo "about dialog: passed"
