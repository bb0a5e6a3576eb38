#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Gathers what a Windows program built against the MinGW GTK stack needs beside
# it to start on a machine without that stack:
#   - the DLLs it imports, and theirs in turn, from <prefix>/bin (and the MinGW
#     runtime folders for anything the program did not link statically),
#     stripped; Windows' own DLLs are left out;
#   - GTK's runtime files: the compiled GSettings schemas, the Adwaita subset of
#     icons, etc/gtk-3.0/settings.ini and the German catalogues of GLib and GTK.
# GLib looks for share/ and etc/ beside the folder of its DLL, so <destdir> is
# meant to be the folder that also holds the program.
#
# Usage: collect-dlls.sh <program.exe> <prefix> <destdir>
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 <program.exe> <prefix> <destdir>" >&2
  exit 2
fi
exe=$1 prefix=$2 dest=$3
host=x86_64-w64-mingw32
objdump=$host-objdump
strip=$host-strip

[ -f "$exe" ] || { echo "ERROR: no program $exe" >&2; exit 1; }
[ -d "$prefix/bin" ] || { echo "ERROR: $prefix is no stack prefix (no bin/)" >&2; exit 1; }
mkdir -p "$dest"

search_dirs=("$prefix/bin" "/usr/$host/lib")
gcc_dir=$(dirname "$($host-gcc-posix -print-libgcc-file-name)")
search_dirs+=("$gcc_dir")

# Prints the path of a DLL in the search folders (names compare case-blind,
# as Windows does), or nothing for a DLL of Windows itself.
find_dll() {
  local want d f
  want=$(echo "$1" | tr '[:upper:]' '[:lower:]')
  for d in "${search_dirs[@]}"; do
    for f in "$d"/*.dll "$d"/*.DLL; do
      [ -f "$f" ] || continue
      if [ "$(basename "$f" | tr '[:upper:]' '[:lower:]')" = "$want" ]; then
        echo "$f"; return 0
      fi
    done
  done
  return 0
}

imports() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r'; }

declare -A seen=()
queue=("$exe")
dlls=()
while [ ${#queue[@]} -gt 0 ]; do
  cur=${queue[0]}
  queue=("${queue[@]:1}")
  while read -r name; do
    [ -n "$name" ] || continue
    key=$(echo "$name" | tr '[:upper:]' '[:lower:]')
    [ -n "${seen[$key]:-}" ] && continue
    seen[$key]=1
    path=$(find_dll "$name")
    [ -n "$path" ] || continue
    dlls+=("$path")
    queue+=("$path")
  done < <(imports "$cur")
done

total=0
for f in "${dlls[@]}"; do
  "$strip" --strip-unneeded -o "$dest/$(basename "$f")" "$f"
  total=$((total + $(stat -c %s "$dest/$(basename "$f")")))
done

# GSettings schemas, compiled with the build machine's GLib (the format is the same).
schemas_src=$prefix/share/glib-2.0/schemas
if [ -d "$schemas_src" ]; then
  mkdir -p "$dest/share/glib-2.0/schemas"
  cp "$schemas_src"/*.xml "$dest/share/glib-2.0/schemas/"
  glib-compile-schemas --strict "$dest/share/glib-2.0/schemas"
  rm -f "$dest/share/glib-2.0/schemas"/*.xml
fi

# The icon pictures GTK's widgets use.
if [ -d "$prefix/share/icons" ]; then
  mkdir -p "$dest/share/icons"
  for theme in Adwaita hicolor; do
    [ -d "$prefix/share/icons/$theme" ] && cp -r "$prefix/share/icons/$theme" "$dest/share/icons/"
  done
fi

# German texts of GTK's own dialogs (file chooser, print dialog, ...).
for mo in glib20 gtk30 gdk-pixbuf; do
  f=$prefix/share/locale/de/LC_MESSAGES/$mo.mo
  if [ -f "$f" ]; then
    mkdir -p "$dest/share/locale/de/LC_MESSAGES"
    cp "$f" "$dest/share/locale/de/LC_MESSAGES/"
  fi
done

mkdir -p "$dest/etc/gtk-3.0"
cat >"$dest/etc/gtk-3.0/settings.ini" <<'EOF'
[Settings]
gtk-theme-name=Adwaita
gtk-icon-theme-name=Adwaita
gtk-button-images=false
gtk-menu-images=false
EOF

printf 'Collected %d DLLs (%d KiB stripped) into %s\n' "${#dlls[@]}" $((total / 1024)) "$dest"
for f in "${dlls[@]}"; do basename "$f"; done | sort | paste -sd' ' | fold -s -w 100 | sed 's/^/  /'
