#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the soak test the way a user with a screen reader has the program: in
# a real X server with a window manager, the toolkit's X11 platform and the
# accessibility bridge on, talking to an accessibility bus.
#   run_in_x_session.sh SOAK_TEST [ARGUMENTS...]
if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]]; then
    exec dbus-run-session -- bash "$0" "$@"
fi
TEST_NAME=soak
source "$(dirname "$0")/../e2e/x_session.sh"
trap stop_x_session EXIT
start_x_session
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
X_PIDS+=($!)
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
"$@"
