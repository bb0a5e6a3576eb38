# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=sh
# Counting for the shell tests (POSIX sh, sourced). `pass MSG` and `fail MSG`
# print a PASS or FAIL line and count it; `check DESC CMD...` runs CMD and
# counts its outcome; a bare `check` opens a silent check that passes unless
# `fail` comes before the next `check` or `report NAME`, which prints "NAME: N
# passed, M failed" and returns non-zero on any failure. A script that only
# uses the bare form disables SC2119 (a bare call is no forgotten "$@").
passed=0 failed=0 check_open=0
pass() { passed=$((passed + 1)); printf 'PASS: %s\n' "$*"; }
fail() { failed=$((failed + 1)); check_open=0; printf 'FAIL: %s\n' "$*"; }
close_check() { if [ "$check_open" = 1 ]; then passed=$((passed + 1)); fi; check_open=0; }
check() { close_check; if [ "$#" -eq 0 ]; then check_open=1; else check_command "$@"; fi; }
check_command() {
  check_what=$1
  shift
  if "$@"; then pass "$check_what"; else fail "$check_what"; fi
}
report() {
  close_check
  printf '%s: %d passed, %d failed\n' "$1" "$passed" "$failed"
  [ "$failed" -eq 0 ]
}
