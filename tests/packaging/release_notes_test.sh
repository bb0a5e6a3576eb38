#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck disable=SC2119
# The releases of NEWS as the build reads them for the metainfo files
# (cmake/ReleaseNotes.cmake run as a script): the elements it writes, and the
# NEWS files that stop the configuration.
# Usage: release_notes_test.sh CMAKE
set -u
cmake_command=${1:-cmake}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# shellcheck source=tests/support/pass_fail.sh
. "$source_dir/tests/support/pass_fail.sh"

printf '%s\n' 'Preamble; [ no release' '' '0.95 (2026-12-09)' '- Eins & zwei; [drei' '  weiter' '- <b>' '' \
  '0.9 (2026-01-02)' >"$scratch/NEWS"
printf '%s\n' '0.955 (2026-12-09)' '- x' >"$scratch/NEWS.near"
printf '%s\n' '0.95 (2026-12-09)' '- x' 'y' >"$scratch/NEWS.stray"

# notes NAME NEWS VERSION ok|fails TEXT...: reading NEWS for VERSION succeeds
# or fails, and its output (or its message, blanks and line breaks squeezed)
# holds every TEXT.
notes() {
  name=$1 news=$scratch/$2 version=$3 outcome=$4
  shift 4
  rm -f "$scratch/out"
  check
  if "$cmake_command" -DNEWS="$news" -DVERSION="$version" -DOUTPUT="$scratch/out" \
       -P "$source_dir/cmake/ReleaseNotes.cmake" >"$scratch/log" 2>&1; then
    status=ok
  else
    status=fails
  fi
  if [ "$status" != "$outcome" ]; then
    fail "$name: $status: $(cat "$scratch/log")"
    return
  fi
  if [ "$status" = ok ]; then
    cp "$scratch/out" "$scratch/said"
  else
    tr -s ' \n' '  ' <"$scratch/log" >"$scratch/said"
  fi
  for text in "$@"; do
    grep -qF -- "$text" "$scratch/said" || { fail "$name: no \"$text\" in: $(cat "$scratch/said")"; return; }
  done
}

notes "the releases, newest first" NEWS 0.95 ok '<release version="0.95" date="2026-12-09">' \
  '<li>Eins &amp; zwei; [drei weiter</li>' '<li>&lt;b&gt;</li>' '<release version="0.9" date="2026-01-02"/>'
notes "a version below the newest" NEWS 0.9 fails 'lists release 0.95 above 0.9,'
notes "a release that only begins like the version" NEWS.near 0.95 fails 'has no release 0.95,'
notes "a line that is no item" NEWS.stray 0.95 fails 'NEWS.stray:3: neither a release'
report release_notes_test
