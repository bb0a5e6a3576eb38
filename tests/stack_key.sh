#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows stack's cache key follows what decides the stack's content: a
# comment in the recipe, a patch's description or a change to the script keep
# it, a changed build flag or patch line changes it.
set -euo pipefail
root=$(cd "${1:-"$(dirname "$0")/.."}" && pwd)
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
cp -r "$root/scripts/windows" "$copy/"
key() { "$copy/windows/build-stack.sh" --print-key; }
# shellcheck source=tests/support/pass_fail.sh
. "$root/tests/support/pass_fail.sh"
expect() {  # expect same|different <what> <command...>
  local want=$1 what=$2 before after
  shift 2
  before=$(key)
  "$@"
  after=$(key)
  if { [ "$want" = same ] && [ "$before" = "$after" ]; } || { [ "$want" = different ] && [ "$before" != "$after" ]; }; then
    pass "$what"
  else
    fail "$what: key $before, then $after (wanted $want)"
  fi
}
recipe=$copy/windows/stack/recipe.sh
patch=$(find "$copy/windows/stack" -name '*.patch' | sort | head -1)
expect same "a comment line in the recipe" sed -i '1a # another comment' "$recipe"
expect same "a blank line in the recipe" sed -i '1G' "$recipe"
expect same "a patch's description" sed -i '1s/^/Described anew: /' "$patch"
expect same "the script itself" sed -i '2a # a new comment' "$copy/windows/build-stack.sh"
expect different "a build flag" sed -i 's/-Ddocs=false/-Ddocs=true/' "$recipe"
expect different "a line of a patch" sed -i '/^-[^-]/s/$/ x/' "$patch"
report stack_key
