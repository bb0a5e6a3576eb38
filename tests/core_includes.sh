#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a file of the GTK-free layers (the folders given; by default
# src/core and the display simulator's library, tools/simulator) includes a
# header of GTK, GDK, GLib/GIO/GObject, their C++ wrappers, sigc++, or the
# program (app/, or a path that climbs out of its folder). Lists every such
# include as file:line: text.
set -euo pipefail
here=$(dirname "$0")
if [ "$#" -eq 0 ]; then set -- "$here/../src/core" "$here/../tools/simulator"; fi
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]'
pattern+='((gtk|gdk|glib|gio|gobject|sigc|atk|pangomm|cairomm)[^/]*/|(gtk|gdk|glib|gio|glib-object)\.h|app/|\.\./)'
if found=$(grep -rnE "$pattern" "$@" --include='*.h' --include='*.cc' --include='*.in'); then
  echo "GTK-free code includes headers it must not:" >&2
  echo "$found" >&2
  exit 1
fi
echo "No GTK, GLib, sigc++ or program header in: $*"
