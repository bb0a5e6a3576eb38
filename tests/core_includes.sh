#!/usr/bin/env bash
# Fails when a file of the core (src/core, or the folder given) includes a
# header of GTK, GDK, GLib/GIO/GObject, their C++ wrappers, sigc++, or the
# program (app/, or a path that climbs out of the core). Lists every such
# include as file:line: text.
set -euo pipefail
core=${1:-"$(dirname "$0")/../src/core"}
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]'
pattern+='((gtk|gdk|glib|gio|gobject|sigc|atk|pangomm|cairomm)[^/]*/|(gtk|gdk|glib|gio|glib-object)\.h|app/|\.\./)'
if found=$(grep -rnE "$pattern" "$core" --include='*.h' --include='*.cc' --include='*.in'); then
  echo "The core includes headers it must not:" >&2
  echo "$found" >&2
  exit 1
fi
echo "The core includes no GTK, GLib, sigc++ or program header."
