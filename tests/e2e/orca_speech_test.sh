#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What a blind user hears: the real screen reader Orca over the typical use
# by keyboard alone, its speech written to a file by Speech Dispatcher (a
# module that records each text instead of speaking it). Checks what Orca
# says at the splash, after „Berechnen“ (R and the verdict, once, with the
# focus staying on the button) and on the About dialog's picture.
# Orca runs in the C locale, so its own words (roles) are English.
TEST_NAME=orca-speech
source "$(dirname "$0")/x_session.sh"
atspi="/usr/bin/python3 $(dirname "$0")/atspi.py"

if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]]; then
    exec dbus-run-session -- bash "$0" "$@"
fi
command -v orca >/dev/null || { echo "orca is not installed (scripts/bootstrap installs it)" >&2; exit 1; }

# A private home for Orca and Speech Dispatcher; sound goes to ALSA's null device.
ORCA_HOME=$(mktemp -d)
SPEECH=$ORCA_HOME/speech.txt
cleanup() {
    stop_x_session
    pkill -f "speech-dispatcher.*$ORCA_HOME" 2>/dev/null || true
    rm -rf "$ORCA_HOME"
}
trap cleanup EXIT
export HOME=$ORCA_HOME XDG_CONFIG_HOME=$ORCA_HOME/config XDG_DATA_HOME=$ORCA_HOME/data \
    XDG_CACHE_HOME=$ORCA_HOME/cache XDG_RUNTIME_DIR=$ORCA_HOME/runtime LC_ALL=C.UTF-8 LANG=C.UTF-8
mkdir -p "$XDG_CONFIG_HOME/speech-dispatcher/modules" "$XDG_RUNTIME_DIR" "$ORCA_HOME/log"
chmod 700 "$XDG_RUNTIME_DIR"
printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
cat >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf" <<EOF
LogDir "$ORCA_HOME/log"
AudioOutputMethod "alsa"
AddModule "record" "sd_generic" "record.conf"
DefaultModule record
EOF
cat >"$XDG_CONFIG_HOME/speech-dispatcher/modules/record.conf" <<EOF
GenericExecuteSynth "printf '%s\\\\n' \\'\$DATA\\' >> $SPEECH"
GenericCmdDependency "printf"
AddVoice "en" "MALE1" "record"
DefaultVoice "record"
GenericLanguage "en" "en" "utf-8"
EOF

# Everything Orca has said so far, on one line.
spoken() { tr '\n' ' ' <"$SPEECH" 2>/dev/null | tr -s ' '; }
said() {
    SPOKEN=$(spoken)
    [[ "$SPOKEN" == *"$1"* ]]
}
# What Orca said after the mark (the number of characters spoken before).
said_since() {
    SPOKEN=$(spoken)
    SPOKEN=${SPOKEN:$MARK}
    [[ "$SPOKEN" == *"$1"* ]]
}
mark() { MARK=$(spoken | wc -m); MARK=$((MARK > 0 ? MARK - 1 : 0)); }
expect_said_since() {
    wait_until said_since "$1" || fail "Orca did not say „$1“; it said: „$SPOKEN“"
}
focused() { $atspi "$APP_PID" focused; }

# Presses Enter on „Berechnen“ and waits a while for Orca to say PHRASE.
# Orca announces a focus change by interrupting what it is saying, and on a
# busy machine that announcement can come late and cut the result off before
# it was spoken; then the calculation is repeated, within the usual deadline.
heard_after_enter() {
    mark
    xdotool key Return
    local end=$((SECONDS + 8))
    until said_since "$1"; do
        ((SECONDS < end)) || return 1
        sleep 0.05
    done
}
calculate_and_hear() {
    wait_until heard_after_enter "$1" || fail "Orca did not say „$1“; it said: „$SPOKEN“"
}

start_x_session
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
X_PIDS+=($!)
orca --replace >"$ORCA_HOME/orca.log" 2>&1 &
X_PIDS+=($!)
# Orca's first start on a fresh machine (its Python modules loaded and
# compiled, Speech Dispatcher started on demand) is slow on a busy one: it
# alone gets three deadlines.
E2E_TIMEOUT=$((E2E_TIMEOUT * 3)) wait_until said "Screen reader on" ||
    { cat "$ORCA_HOME/orca.log" >&2; fail "Orca did not start speaking"; }
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0

# The splash: its name and the request to press a key.
mark
start_gradolux
splash=$(wait_for_active_window splash) || fail "the splash window did not appear with the focus"
expect_said_since "Gradolux frame."
expect_said_since "Bitte eine Taste Drücken um zum Programm zu gelangen!"

# The calculator, by keyboard alone: nothing chosen yet, then A = 3, H = 1, W = 6.
xdotool key x
main=$(wait_for_active_window "Bewerten und Beurteilen") || fail "a key on the splash did not open the main window"
expect_said_since "Berechnen push button"
calculate_and_hear "notification R = 0. Es konnte keine Berechnung erfolgen, da Sie nicht in jedem Feld ein Optionsfeld ausgewählt haben!"
[[ "$(focused)" == "push button|Berechnen" ]] || fail "the announcement moved the focus to '$(focused)'"

# A choice by keyboard: A = 3 (Option3, then Down to the next by tab index),
# H = 0,5 (Option7), W = 6 (Option13, four times Down); back to „Berechnen“.
xdotool key Tab Tab Tab space Down Tab space Tab space Down Down Down Down
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
wait_until eval '[[ "$(focused)" == "push button|Berechnen" ]]' || fail "the focus is on '$(focused)', not on „Berechnen“"
calculate_and_hear "notification R = 9. In Ihrem Anwendungsfall ergibt sich bei der Berechnung ein GERINGES RISIKO. Prüfen Sie trotzdem ob ein Handlungsbedarf gegeben ist!"
[[ "$(focused)" == "push button|Berechnen" ]] || fail "the announcement moved the focus to '$(focused)'"
# Once: nothing more is said while nothing new happens.
settle "$main" || fail "the main window did not answer"
said_since ""
count=$(grep -o "notification R = 9\\." <<<"$SPOKEN" | wc -l)
((count == 1)) || fail "R = 9 was announced $count times for one calculation: „$SPOKEN“"

# The About dialog's picture takes the focus and has a name.
xdotool key shift+Tab
wait_until eval '[[ "$(focused)" == "push button|Programminfo" ]]' || fail "Shift+Tab did not reach „Programminfo“"
xdotool key Return
about=$(wait_for_active_window "Info zu Gradolux") || fail "Programminfo did not open the About dialog"
expect_said_since "OK push button"
mark
xdotool key Tab
expect_said_since "Programmsymbol"
xdotool key Escape
wait_until_unmapped "$about" || fail "Escape did not close the About dialog"
xdotool key alt+F4
wait_for_exit || fail "closing the main window did not end the program"
echo "Orca's words: $(spoken)"
echo "Orca speech: passed"
