#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Gradolux writes nothing to disk during a whole session: every file opened
# (or created, renamed, removed) by it or any process it starts, traced with
# strace, is read-only or lies under /dev or /proc. Run without a session bus,
# where the D-Bus library would otherwise start one and write a file for it.
TEST_NAME=no-writes
source "$(dirname "$0")/x_session.sh"
trap stop_x_session EXIT
start_x_session
unset DBUS_SESSION_BUS_ADDRESS
trace="$X_SESSION_DIR/trace"

strace -f -qq -o "$trace" -e trace=open,openat,creat,mkdir,mkdirat,rename,renameat,renameat2,unlink,unlinkat,truncate \
    "$GRADOLUX" >"$X_SESSION_DIR/gradolux.log" 2>&1 &
tracer=$!
for ((i = 0; i < 100; i++)); do
    APP_PID=$(pgrep -P "$tracer" | head -n1) && [[ -n "$APP_PID" ]] && break
    sleep 0.05
done
[[ -n "$APP_PID" ]] || fail "the program did not start under strace"

wait_for_window splash >/dev/null || fail "the splash window did not appear"
xdotool key a
main=$(wait_for_window "Bewerten und Beurteilen") || fail "the main window did not appear"
click_twips "$main" 1800 1440
click_twips "$main" 1200 4200
click_twips "$main" 5400 5250
click_twips "$main" 7900 7980
click_twips "$main" 2100 8340
wait_for_window "Info zu Gradolux" >/dev/null || fail "the About dialog did not appear"
xdotool key alt+s
wait_for_window "=Gradolux" >/dev/null || fail "the message box did not appear"
xdotool key Return
sleep 0.3
click_twips "$main" 7900 8460
wait "$tracer" || true

writes=$(grep -E 'O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|creat\(|mkdir|rename|unlink|truncate' "$trace" |
    grep -vE '= -1 ' | grep -vE '"/(dev|proc)/' || true)
[[ -z "$writes" ]] || fail "files written during the session:
$writes"
[[ $(grep -c 'openat' "$trace") -gt 10 ]] || fail "the trace saw no file opens at all"
echo "no writes: passed"
