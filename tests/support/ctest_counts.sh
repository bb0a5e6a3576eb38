# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Counting a CTest run for the test scripts (bash, sourced).
#
# ctest_counts LOG: sets ctest_passed, ctest_failed and ctest_skipped from
# CTest's output in LOG (no summary line: one failure). A skip no pattern of
# the caller's `expected_skips` (whole test names, ERE) names asserts nothing
# and counts as failed, listed.
# shellcheck disable=SC2034,SC2154  # the counts are the caller's, and so are the expected skips
ctest_counts() {
  local log=$1 line total failed name pattern expected
  local skipped_names=()
  ctest_passed=0 ctest_failed=1 ctest_skipped=0
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1) || true
  [ -n "$line" ] || return 0
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  failed=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
  while IFS= read -r name; do
    [ -n "$name" ] && skipped_names+=("$name")
  done < <(sed -n '/^The following tests did not run:/,/^$/ s/^[[:space:]]*[0-9]* - \(.*\) (Skipped)$/\1/p' "$log")
  ctest_skipped=${#skipped_names[@]}
  for name in "${skipped_names[@]}"; do
    expected=0
    for pattern in "${expected_skips[@]}"; do
      if grep -qxE -- "$pattern" <<<"$name"; then expected=1; fi
    done
    if [ "$expected" = 0 ]; then
      echo "Skipped where nobody expects it (counted as failed): $name"
      failed=$((failed + 1))
      ctest_skipped=$((ctest_skipped - 1))
    fi
  done
  ctest_failed=$failed
  ctest_passed=$((total - ctest_failed - ctest_skipped))
}
