#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one Windows test program for CTest: wine-run.sh WINE PROGRAM [ARGS...]
#
# Now and then Wine ends a program it is starting with a failure status
# before the program's own code has run: nothing printed, a hundredth of a
# second. Every suite prints its first line as soon as main() starts, so a
# failed run without a single byte of output never reached the code under
# test. Such a run is reported with its status (on stderr, and in the file
# ZIELWERK_WINE_RUN_LOG names, if any) and started once more; a program that
# printed anything, or fails the second time too, fails as it did. So, more
# rarely, is a run killed (SIGKILL, status 137) that reported no failed case:
# Windows code cannot send that signal, and seen here it came after the
# suite's last line, "[  PASSED  ]".
#
# The program writes into files, not pipes: a program that touches the
# desktop starts Wine's explorer.exe when none runs, and that process inherits
# the program's standard handles and outlives it. On a pipe the reader would
# wait for it and CTest would end a passed case at its timeout. The files
# are passed on as they grow, so a case CTest ends at its timeout still shows
# what it printed.
set -uo pipefail
wine=$1
shift
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

run() {
  : >"$out"
  : >"$err"
  "$wine" "$@" >"$out" 2>"$err" </dev/null &
  local pid=$! status
  tail -n +1 -s 0.1 --pid="$pid" -f "$out" &
  local out_tail=$!
  tail -n +1 -s 0.1 --pid="$pid" -f "$err" >&2 &
  local err_tail=$!
  wait "$pid"
  status=$?
  wait "$out_tail" "$err_tail"
  return "$status"
}

run "$@"
status=$?
if [ "$status" -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ]; then
  wine_failed="ended with status $status before printing anything"
elif [ "$status" -eq 137 ] && ! grep -q '^\[  FAILED  \]' "$out"; then
  wine_failed="was killed without a failed case"
else
  exit "$status"
fi
message="${1##*/}${2:+ $2} $wine_failed; started once more"
echo "wine-run.sh: $message" >&2
# CTest shows a passing case's output nowhere; the test script lists these.
if [ -n "${ZIELWERK_WINE_RUN_LOG:-}" ]; then echo "$message" >>"$ZIELWERK_WINE_RUN_LOG"; fi
run "$@"
