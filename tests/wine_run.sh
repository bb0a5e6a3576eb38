#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/windows/wine-run.sh starts a suite once more only when Wine ended it
# without a byte of output; a failure with output, or a second silent one,
# stays a failure. Bash stands in for Wine, a two-line script for the suite.
set -euo pipefail
root=$(cd "${1:-"$(dirname "$0")/.."}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/support/pass_fail.sh
. "$root/tests/support/pass_fail.sh"
# run_case NAME STATUS RUNS FIRST LATER: the suite does FIRST on its first
# run and LATER after that; the wrapper should end with STATUS after RUNS runs.
run_case() {
  printf '%s\n' "echo >>'$work/runs'" "if [ \$(wc -l <'$work/runs') = 1 ]; then $4; else $5; fi" >"$work/suite"
  : >"$work/runs"
  local status=0
  bash "$root/scripts/windows/wine-run.sh" bash "$work/suite" >"$work/out" 2>&1 || status=$?
  check "$1: status $status after $(wc -l <"$work/runs") runs" [ "$status $(wc -l <"$work/runs")" = "$2 $3" ]
}
run_case "a silent failure, then a pass"    0 2 'exit 53'                  'echo ok'
check "the second start is reported" grep -q 'suite ended with status 53 before printing anything' "$work/out"
run_case "a silent failure twice"           7 2 'exit 53'                  'exit 7'
run_case "a failure that printed"           1 1 'echo broken; exit 1'      'echo ok'
run_case "a failure that printed to stderr" 1 1 'echo broken >&2; exit 1' 'echo ok'
run_case "a silent pass"                    0 1 'exit 0'                   'exit 9'
report wine_run
