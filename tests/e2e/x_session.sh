# SPDX-License-Identifier: MIT
# Shared by the end-to-end tests and scripts/screenshots: a private X server
# (Xvfb) with a window manager (openbox), and helpers that act on it the way a
# person does, through real key and mouse events (xdotool).
#
# Expects GRADOLUX (the executable), GRAB_SCREEN, READ_CLIPBOARD and X_PING
# (the helpers from tests/tools) and ARTIFACTS (a folder for screenshots).
#
# Every step waits for something a person would see (a window mapped and
# focused, a text shown, a process gone) and never for a fixed time; each
# wait has the same generous deadline, E2E_TIMEOUT seconds.

set -euo pipefail

E2E_TIMEOUT=${E2E_TIMEOUT:-30}

X_SESSION_DIR=$(mktemp -d)
X_PIDS=()

stop_x_session() {
    local pid
    for pid in "${X_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$X_SESSION_DIR"
}

# Starts Xvfb on a free display with openbox and exports DISPLAY.
start_x_session() {
    local size=${1:-1280x1024x24}
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset 3>"$X_SESSION_DIR/display" 2>"$X_SESSION_DIR/xvfb.log" &
    X_PIDS+=($!)
    local i
    for ((i = 0; i < 100; i++)); do
        [[ -s "$X_SESSION_DIR/display" ]] && break
        sleep 0.05
    done
    [[ -s "$X_SESSION_DIR/display" ]] || { cat "$X_SESSION_DIR/xvfb.log" >&2; echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(head -n1 "$X_SESSION_DIR/display")"
    openbox --sm-disable >"$X_SESSION_DIR/openbox.log" 2>&1 &
    X_PIDS+=($!)
    for ((i = 0; i < 100; i++)); do
        [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *"window id"* ]] && return 0
        sleep 0.05
    done
    echo "openbox did not start" >&2
    return 1
}

# Saves the whole screen under ARTIFACTS as NAME.png.
screenshot() {
    mkdir -p "$ARTIFACTS"
    "$GRAB_SCREEN" "$ARTIFACTS/$1.png" 2>/dev/null || true
}

fail() {
    echo "FAIL: $*" >&2
    if [[ -n "${DISPLAY:-}" ]]; then
        screenshot "failure-${TEST_NAME:-e2e}"
        echo "screenshot: $ARTIFACTS/failure-${TEST_NAME:-e2e}.png" >&2
        focus_report >&2
    fi
    if [[ -n "${APP_PID:-}" ]]; then
        if kill -0 "$APP_PID" 2>/dev/null; then
            echo "the program is still running: $(tr '\0' ' ' <"/proc/$APP_PID/cmdline" 2>/dev/null)" \
                "state $(sed -n 's/^State:\s*//p' "/proc/$APP_PID/status" 2>/dev/null)" >&2
        else
            local code=0
            wait "$APP_PID" 2>/dev/null || code=$?
            echo "the program has ended with exit code $code" >&2
        fi
    fi
    if [[ -s "$X_SESSION_DIR/gradolux.log" ]]; then
        echo "the program's output (last 20 lines):" >&2
        tail -n 20 "$X_SESSION_DIR/gradolux.log" >&2
    fi
    exit 1
}

# Runs COMMAND... until it succeeds, polling, for at most E2E_TIMEOUT seconds.
wait_until() {
    local end=$((SECONDS + E2E_TIMEOUT))
    until "$@"; do
        ((SECONDS < end)) || return 1
        sleep 0.05
    done
}

# Starts the program in the background under the locale APP_LOCALE
# (default C.UTF-8); sets APP_PID.
start_gradolux() {
    local locale=${APP_LOCALE:-C.UTF-8}
    LC_ALL=$locale LANG=$locale LANGUAGE= "$GRADOLUX" >"$X_SESSION_DIR/gradolux.log" 2>&1 &
    APP_PID=$!
}

# Sets FOUND to a visible window of the program whose name contains the
# pattern ("=NAME": whose name is exactly NAME), or with the pattern "splash"
# its splash-type window.
find_window() {
    local pattern=$1 id
    FOUND=""
    for id in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
        if [[ "$pattern" == splash ]]; then
            [[ "$(xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null)" == *"= _NET_WM_WINDOW_TYPE_SPLASH"* ]] || continue
        elif [[ "$pattern" == =* ]]; then
            [[ "$(xdotool getwindowname "$id" 2>/dev/null)" == "${pattern#=}" ]] || continue
        elif [[ "$(xdotool getwindowname "$id" 2>/dev/null)" != *"$pattern"* ]]; then
            continue
        fi
        FOUND=$id
        return 0
    done
    return 1
}

# Waits for a visible window of the program (see find_window); prints its id.
wait_for_window() {
    wait_until find_window "$1" || return 1
    echo "$FOUND"
}

has_focus() {
    [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$1" ]]
}

# The window has the keyboard focus and the window manager counts it as the
# active window (_NET_ACTIVE_WINDOW): only then do the window manager's own
# keys (Alt+F4) act on it.
is_active() {
    has_focus "$1" && [[ "$(xdotool getactivewindow 2>/dev/null)" == "$1" ]]
}

# Waits for a window to have the keyboard focus.
wait_for_focus() {
    wait_until has_focus "$1"
}

# Waits for a window of the program that is visible and has the keyboard
# focus, as it must before a person types into it; prints its id.
wait_for_active_window() {
    local id
    id=$(wait_for_window "$1") || return 1
    wait_until is_active "$id" || return 1
    echo "$id"
}

# What the window manager and the X server say about the focus, for a
# failure's report.
focus_report() {
    echo "focus: $(xdotool getwindowfocus 2>/dev/null), active: $(xdotool getactivewindow 2>/dev/null)," \
        "visible windows of the program: $(xdotool search --onlyvisible --pid "${APP_PID:-0}" 2>/dev/null | tr '\n' ' ')"
}

# Returns once the program has handled every input sent to it so far (see
# tests/tools/x_ping.cpp): for checks that something did not happen.
settle() {
    "$X_PING" "$1" 3
}

map_state() {
    xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Map State: //p'
}

is_unmapped() {
    [[ "$(map_state "$1")" != IsViewable ]]
}

wait_until_unmapped() {
    wait_until is_unmapped "$1"
}

# Saves one window with its frame as a PNG file, once the program has
# handled every input and painted.
#   shoot_window WINDOW FILE
shoot_window() {
    local window=$1 file=$2 x y width height left=0 right=0 top=0 bottom=0
    settle "$window" || return 1
    read -r x y width height < <(xwininfo -id "$window" | awk -F: '
        /Absolute upper-left X/ {x = $2} /Absolute upper-left Y/ {y = $2}
        /^ *Width/ {w = $2} /^ *Height/ {h = $2} END {print x, y, w, h}')
    read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null |
        sed -n 's/.*= \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)/\1 \2 \3 \4/p') || true
    "$GRAB_SCREEN" "$file" $((x - ${left:-0})) $((y - ${top:-0})) \
        $((width + ${left:-0} + ${right:-0})) $((height + ${top:-0} + ${bottom:-0})) 2>/dev/null
}

# Clicks at a point given in twips of the window's client area; at a scale
# factor (SCALE, default 1) the window's pixels are that many times larger.
click_twips() {
    local window=$1 x y
    read -r x y < <(awk -v x="$2" -v y="$3" -v s="${SCALE:-1}" 'BEGIN {print int(x * s / 15), int(y * s / 15)}')
    xdotool mousemove --window "$window" "$x" "$y" click 1
}

# Clicks a control of a window by its name in the window's description
# (Command1, Option8, Frame1 …), where LIST_CONTROLS places it: a control in
# its middle, a frame on its own surface, away from the controls on it.
#   click_described WINDOW-ID WINDOW CONTROL
click_described() {
    local point
    point=$("$LIST_CONTROLS" "$2" "$3") || { echo "no control $3 in $2" >&2; return 1; }
    # shellcheck disable=SC2086 # two numbers
    click_twips "$1" $point
}

clipboard_is() {
    CLIPBOARD=$("$READ_CLIPBOARD" 2>/dev/null || true)
    [[ "$CLIPBOARD" == "$1" ]]
}

# Copies the text of a text box (as click_described names it) the way a user
# does and waits until the clipboard holds EXPECTED; sets CLIPBOARD to what
# it held last.
#   copy_text_of WINDOW-ID WINDOW CONTROL EXPECTED
copy_text_of() {
    click_described "$1" "$2" "$3" || return 1
    xdotool key ctrl+a ctrl+c
    wait_until clipboard_is "$4"
}

has_ended() {
    ! kill -0 "$APP_PID" 2>/dev/null
}

# Waits for the program to end; sets EXIT_CODE.
wait_for_exit() {
    wait_until has_ended || return 1
    EXIT_CODE=0
    wait "$APP_PID" || EXIT_CODE=$?
}
