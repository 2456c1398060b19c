#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Gradolux writes nothing to disk during a whole session. Two checks:
#  - the program runs with a private, empty home, XDG folders and temporary
#    folder, which must still be empty afterwards (configuration, caches,
#    session-bus files and the like would land there);
#  - where the machine lets strace trace, every file opened (or created,
#    renamed, removed) by the program or any process it starts is read-only or
#    lies under /dev or /proc.
# Run without a session bus, where the D-Bus library would otherwise start one
# and write a file for it. With the argument "without-runtime-folder" the
# program runs with XDG_RUNTIME_DIR unset, where the toolkit would make a
# runtime folder of its own in the temporary folder.
#   no_writes_test.sh [with-runtime-folder|without-runtime-folder]
TEST_NAME=no-writes-${1:-with-runtime-folder}
source "$(dirname "$0")/x_session.sh"
trap stop_x_session EXIT
start_x_session
unset DBUS_SESSION_BUS_ADDRESS

sandbox="$X_SESSION_DIR/sandbox"
sandbox_env=(HOME="$sandbox/home" TMPDIR="$sandbox/tmp" XDG_CONFIG_HOME="$sandbox/config"
    XDG_CACHE_HOME="$sandbox/cache" XDG_DATA_HOME="$sandbox/data" XDG_STATE_HOME="$sandbox/state")
mkdir -p "$sandbox"/{home,tmp,config,cache,data,state,runtime}
chmod 700 "$sandbox/runtime"
if [[ "${1:-with-runtime-folder}" == with-runtime-folder ]]; then
    sandbox_env+=(XDG_RUNTIME_DIR="$sandbox/runtime")
fi

trace="$X_SESSION_DIR/trace"
syscalls=open,openat,creat,mkdir,mkdirat,rename,renameat,renameat2,unlink,unlinkat,truncate
# Filtering in the kernel (seccomp) stops the program only at the traced calls,
# so tracing hardly slows it down; older kernels fall back to plain tracing.
tracer=()
for mode in --seccomp-bpf ""; do
    if strace -f $mode -qq -o /dev/null -e trace="$syscalls" true 2>"$X_SESSION_DIR/probe"; then
        tracer=(strace -f $mode -qq -o "$trace" -e trace="$syscalls")
        break
    fi
done
if [[ ${#tracer[@]} -eq 0 ]]; then
    echo "strace cannot trace on this machine ($(head -n1 "$X_SESSION_DIR/probe")); checking the private folders only"
fi

env -u XDG_RUNTIME_DIR "${sandbox_env[@]}" "${tracer[@]}" "$GRADOLUX" >"$X_SESSION_DIR/gradolux.log" 2>&1 &
launcher=$!
# Untraced, env runs the program in its own place. Traced, the program is the
# tracer's child once it runs the executable (never one of the tracer's own
# short-lived probes).
APP_PID=""
if [[ ${#tracer[@]} -eq 0 ]]; then
    APP_PID=$launcher
fi
find_program() {
    kill -0 "$launcher" 2>/dev/null || fail "the program ended before it started"
    APP_PID=$(pgrep -P "$launcher" -x "$(basename "$GRADOLUX")" | head -n1 || true)
    [[ -n "$APP_PID" ]]
}
[[ -n "$APP_PID" ]] || wait_until find_program || fail "the program did not start"

wait_for_active_window splash >/dev/null || fail "the splash window did not appear with the focus"
xdotool key a
main=$(wait_for_active_window "Bewerten und Beurteilen") || fail "the main window did not appear"
click_described "$main" Form1 Option2
click_described "$main" Form1 Option8
click_described "$main" Form1 Option17
click_described "$main" Form1 Command1
click_described "$main" Form1 Command3
about=$(wait_for_active_window "Info zu Gradolux") || fail "the About dialog did not appear"
xdotool key alt+s
box=$(wait_for_active_window "=Gradolux") || fail "the message box did not appear"
xdotool key Return
wait_until_unmapped "$box" || fail "the message box stayed"
wait_for_focus "$about" || fail "the focus did not return to the About dialog"
click_described "$main" Form1 Command2
wait "$launcher" || fail "the program did not end with exit code 0"

left=$(find "$sandbox" -mindepth 2 | sort)
[[ -z "$left" ]] || fail "files left in the private folders:
$left"

if [[ ${#tracer[@]} -gt 0 ]]; then
    writes=$(grep -E 'O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|creat\(|mkdir|rename|unlink|truncate' "$trace" |
        grep -vE '= -1 ' | grep -vE '"/(dev|proc)/' || true)
    [[ -z "$writes" ]] || fail "files written during the session:
$writes"
    [[ $(grep -c 'openat' "$trace") -gt 10 ]] || fail "the trace saw no file opens at all"
fi
echo "no writes: passed"
