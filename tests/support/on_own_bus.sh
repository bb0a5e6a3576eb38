#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# on_own_bus.sh COMMAND...: runs a window test on a session bus of its own,
# as dbus-run-session does, and returns its status. The services the bus
# starts for the accessibility bridge may outlive the test by minutes while
# holding its output open, and CTest waits for that output to close: so the
# output goes through a file, and whatever the session started is ended
# with it.
out=$(mktemp)
setsid dbus-run-session -- "$@" >"$out" 2>&1 &
session=$!
wait "$session"
status=$?
kill -TERM -- "-$session" 2>/dev/null
cat "$out"
rm -f "$out"
exit "$status"
