# shellcheck shell=sh
# Counting for the shell tests (POSIX sh, sourced). `pass MSG` and `fail MSG`
# print a PASS or FAIL line and count it; `check DESC CMD...` runs CMD and
# counts its outcome under DESC; `check` alone opens a silent check that
# counts as passed unless `fail` is called before the next `check` or the
# report; `report NAME` prints "NAME: N passed, M failed" and returns non-zero
# if anything failed. $passed and $failed hold the counts, for a script that
# adds those of another. A script that only uses the bare `check` disables
# SC2119, by which shellcheck takes it for a forgotten "$@".
passed=0
failed=0
check_open=0

pass() { passed=$((passed + 1)); printf 'PASS: %s\n' "$*"; }
fail() { failed=$((failed + 1)); check_open=0; printf 'FAIL: %s\n' "$*"; }

close_check() {
  if [ "$check_open" = 1 ]; then passed=$((passed + 1)); fi
  check_open=0
}

check() {
  close_check
  if [ "$#" -eq 0 ]; then check_open=1; else check_command "$@"; fi
}

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
