#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# on_own_bus.sh COMMAND...: dbus-run-session COMMAND, its output through a
# file: an accessibility registry outliving a passed test held CTest's pipe
# open until the timeout. The registry is left to end with the X server;
# ending it here lets the server's last client go, and Xvfb refuses the
# next test while it resets.
out=$(mktemp)
dbus-run-session -- "$@" >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit "$status"
