#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when units of the folders given (by default src/core, src/app and
# src/picture_maker) include each other, directly or round a loop of several:
# a layer knows only the layers below it. A unit is a header with its sources
# (name.h, name.cc and the name_posix.cc / name_win32.cc halves); includes are
# taken as written from the source root ("app/ui/main_window.h") or the core's
# root ("ini/ini_store.h"). Lists the units of each loop found.
set -euo pipefail
here=$(dirname "$0")
src=$(cd "$here/../src" && pwd)
if [ "$#" -eq 0 ]; then set -- "$src/core" "$src/app" "$src/picture_maker"; fi
folders=()
for folder in "$@"; do folders+=("$(realpath "$folder")"); done

# Sets `unit` to the unit of the file at path $1.
unit_of() {
  unit=${1%.in}
  unit=${unit%.*}
  unit=${unit%_posix}
  unit=${unit%_win32}
}

edges=$(
  grep -rHoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' \
       --include='*.h' --include='*.cc' --include='*.in' "${folders[@]}" |
    while IFS= read -r line; do
      file=${line%%:*}
      file=${file#"$src"/}
      included=${line#*\"}
      included=${included%\"}
      if [ ! -e "$src/$included" ] && [ -e "$src/core/$included" ]; then
        included=core/$included
      fi
      unit_of "$file"
      from=$unit
      unit_of "$included"
      if [ "$from" != "$unit" ]; then echo "$from $unit"; fi
    done | sort -u
)
# tsort names the units of every loop it meets on its standard error.
if ! loops=$(tsort <<<"$edges" 2>&1 >/dev/null) || [ -n "$loops" ]; then
  echo "Units that include each other:" >&2
  sed -n 's/^tsort: \([^-].*\)/\1/p' <<<"$loops" | grep -v 'input contains a loop' >&2
  exit 1
fi
echo "No units include each other in: ${folders[*]}"
