#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# on_own_bus.sh COMMAND...: dbus-run-session COMMAND, its output through a
# file: an accessibility registry outliving a passed test held CTest's pipe
# open until the timeout. The registry is left to end by itself; as the next
# test may then start while it lets go of the X server, the server must not
# reset when its last client goes (scripts/test.sh runs Xvfb -noreset).
out=$(mktemp)
dbus-run-session -- "$@" >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit "$status"
