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
# printed anything, or fails the second time too, fails as it did.
set -uo pipefail
wine=$1
shift
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
# Both streams pass through as the program writes them, so a case CTest ends
# at its timeout still shows what it printed; copies tell whether it printed
# anything. With pipefail the status is the program's.
{ "$wine" "$@" 2>&1 1>&3 3>&- | tee "$err" >&2 3>&-; } 3>&1 | tee "$out"
status=$?
if [ "$status" -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ]; then
  message="${1##*/}${2:+ $2} ended with status $status before printing anything; started once more"
  echo "wine-run.sh: $message" >&2
  # CTest shows a passing case's output nowhere; the test script lists these.
  if [ -n "${ZIELWERK_WINE_RUN_LOG:-}" ]; then echo "$message" >>"$ZIELWERK_WINE_RUN_LOG"; fi
  "$wine" "$@"
  exit
fi
exit "$status"
