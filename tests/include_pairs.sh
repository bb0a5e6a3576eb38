#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when two units of the folders given (by default src/app and
# src/picture_maker) include each other: a layer knows only the layers below
# it. A unit is a header with its sources (name.h, name.cc and the
# name_posix.cc / name_win32.cc halves); includes are taken as written from
# the source root ("app/ui/main_window.h") or the core's root ("ini/ini_store.h").
# Lists each such pair.
set -euo pipefail
here=$(dirname "$0")
src=$(cd "$here/../src" && pwd)
if [ "$#" -eq 0 ]; then set -- "$src/app" "$src/picture_maker"; fi
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
pairs=$(comm -12 <(echo "$edges") <(awk '{ print $2, $1 }' <<<"$edges" | sort -u) |
          awk '$1 < $2 { print $1 " <-> " $2 }')
if [ -n "$pairs" ]; then
  echo "Units that include each other:" >&2
  echo "$pairs" >&2
  exit 1
fi
echo "No two units include each other in: ${folders[*]}"
