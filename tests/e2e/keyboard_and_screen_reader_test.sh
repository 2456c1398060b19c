#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Keyboard alone, read back through the accessibility bus as a screen reader
# does: every control's role and name, the focus moving in the tab-index
# order, Alt+E shared by two buttons moving the focus between them without
# ending the program, a calculation by keyboard whose verdict is read out,
# and the About dialog.
TEST_NAME=keyboard-and-screen-reader
source "$(dirname "$0")/x_session.sh"
atspi="/usr/bin/python3 $(dirname "$0")/atspi.py"

if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]]; then
    exec dbus-run-session -- bash "$0" "$@"
fi
trap stop_x_session EXIT
start_x_session
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
X_PIDS+=($!)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0

focused() { $atspi "$APP_PID" focused; }
focus_is() {
    FOCUSED=$(focused)
    [[ "$FOCUSED" == "$1" ]]
}
expect_focus() {
    wait_until focus_is "$1" || fail "focus on '$FOCUSED', expected '$1'"
}
labels_read() {
    LABELS=$($atspi "$APP_PID" label-texts)
    [[ "$LABELS" == *"$1"* ]]
}

start_gradolux
splash=$(wait_for_active_window splash) || fail "the splash window did not appear with the focus"
[[ "$(xprop -id "$splash" _NET_FRAME_EXTENTS 2>/dev/null)" != *[1-9]* ]] || fail "the splash has a frame: $(xprop -id "$splash" _NET_FRAME_EXTENTS)"
xdotool key Escape
main=$(wait_for_active_window "Bewerten und Beurteilen") || fail "Escape on the splash did not open the main window"

$atspi "$APP_PID" check-main || fail "the calculator's roles and names"
expect_focus "push button|Berechnen"

# Tab follows the tab index; within a group it stops once.
for expected in "push button|Programm Beenden" 'text|Rechnerisches Ergebnis für das Risiko "R"' \
    "radio button| ERNSTE  Auswirkung, z.B. bleibende Invalidität, Schaden von 70.000 - 700.000 €, A = 7" \
    "radio button| SEHR SELTEN, weniger als 1 x jährlich, H = 0,5" "radio button| NICHT vorstellbar, W = 0,2" \
    "push button|Programminfo" "push button|Berechnen"; do
    xdotool key Tab
    expect_focus "$expected"
done

# Alt+E belongs to both "Berechnen" and "Programm Beenden": presses move the
# focus from one button to the other and never press either.
for expected in "push button|Programm Beenden" "push button|Berechnen" "push button|Programm Beenden" \
    "push button|Berechnen"; do
    xdotool key alt+e
    expect_focus "$expected"
done
settle "$main" || fail "the main window did not answer"
[[ "$($atspi "$APP_PID" label-texts)" != *"Es konnte keine Berechnung"* ]] || fail "Alt+E pressed Berechnen"
kill -0 "$APP_PID" || fail "Alt+E ended the program"

# A choice by keyboard: into group A (Space selects), arrows move within it
# by tab index: A = 3 (Option3, then Down to Option2, next by tab index),
# H = 0,5 (Option7), W = 6 (Option13, four times Down).
expect_focus "push button|Berechnen"
xdotool key Tab Tab Tab space Down Tab space Tab space Down Down Down Down
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
expect_focus "push button|Berechnen"
xdotool key Return
wait_until labels_read "In Ihrem Anwendungsfall ergibt sich bei der Berechnung ein GERINGES RISIKO. Prüfen Sie trotzdem ob ein Handlungsbedarf gegeben ist!" ||
    fail "the verdict is not read out: $LABELS"
[[ "$($atspi "$APP_PID" result)" == 9 ]] || fail "the result box reads '$($atspi "$APP_PID" result)', expected 9"

# The About dialog by keyboard.
xdotool key shift+Tab
expect_focus "push button|Programminfo"
xdotool key space
about=$(wait_for_active_window "Info zu Gradolux") || fail "Programminfo by keyboard did not open the About dialog with the focus"
$atspi "$APP_PID" check-about || fail "the About dialog's roles and names"
expect_focus "push button|OK"
xdotool key Escape

click_described "$main" Form1 Command2
wait_for_exit || fail "Programm Beenden did not end the program"
echo "keyboard and screen reader: passed"
