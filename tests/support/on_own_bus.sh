#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# on_own_bus.sh COMMAND...: runs a window test on a session bus of its own,
# as dbus-run-session does, and returns its status. Now and then the
# accessibility registry the bus started outlives the test, holding the
# test's output open, and CTest would wait for that output until its
# timeout, though the test has long passed: so the output goes through a
# file. The registry is left to end with the X server, as it would without
# this (ending it here would let the X server's last client go, and Xvfb
# refuses the next test while it resets).
out=$(mktemp)
dbus-run-session -- "$@" >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit "$status"
