#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's pictures of the Windows program at the text sizes of
# Windows' display settings: the program of dist/'s zip under Wine on a
# private Xvfb, with HKCU\Control Panel\Desktop\LogPixels at 96, 120, 144 and
# 192 (100 %, 125 %, 150 %, 200 %), its client area saved as
# docs/windows-<LogPixels>.png, and a line per size with the client area.
#
# Usage: scripts/windows/dpi-screenshots.sh [--no-build] [FOLDER]
#   FOLDER       where the pictures go (default docs)
#   --no-build   take dist/ as it is instead of running scripts/build-windows.sh
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
build=1
output=$root/docs
while [ $# -gt 0 ]; do
  case $1 in
    --no-build) build=0; shift ;;
    -h|--help) sed -n '3,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) echo "dpi-screenshots.sh: unknown option $1" >&2; exit 2 ;;
    *) output=$(realpath "$1"); shift ;;
  esac
done
[ "$build" = 1 ] && scripts/build-windows.sh
[ -f build-win/package.env ] || { echo "ERROR: build-win/ is missing (run scripts/build-windows.sh)" >&2; exit 1; }
version=$(sed -n 's/^version=//p' build-win/package.env)
name=zielwerk-$version-win64
[ -f "dist/$name.zip" ] || { echo "ERROR: dist/$name.zip is missing (run scripts/build-windows.sh)" >&2; exit 1; }
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
for tool in "$wine64" wineserver Xvfb xdotool import convert python3; do
  command -v "$tool" >/dev/null || { echo "ERROR: $tool is missing" >&2; exit 1; }
done
mkdir -p "$output"

work=$(mktemp -d /tmp/zielwerk-dpi-screenshots.XXXXXX)
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
unset WINEPATH
xvfb_pid=
cleanup() {
  set +e
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=scripts/windows/private-display.sh
. "$root/scripts/windows/private-display.sh"
start_private_display 191 200
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1
"$wine64" wineboot --init >/dev/null 2>&1
# Wine's Tahoma, GTK's desktop font on Windows, does not render through
# Pango's Windows backend.
"$wine64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Tahoma /d "DejaVu Sans" /f >/dev/null 2>&1
python3 -m zipfile -e "dist/$name.zip" "$work"
folder=$work/$name

for dpi in 96 120 144 192; do
  "$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  rm -f "$folder/Zielstell.ini" "$folder/Default.ini"
  (cd "$folder" && exec "$wine64" zielwerk.exe >"$work/program-$dpi.log" 2>&1) &
  program_pid=$!
  window=$(wait_window) || { echo "ERROR: no window at LogPixels $dpi" >&2; exit 1; }
  sleep 2.5  # the first frames and the preview's first steps
  geometry=$(xdotool getwindowgeometry "$window")
  position=$(sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1+\2/p' <<<"$geometry")
  size=$(sed -n 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p' <<<"$geometry")
  picture=$output/windows-$dpi.png
  import -window root -display "$DISPLAY" "$work/screen.png"
  convert "$work/screen.png" -crop "${size}+${position}" +repage "$picture"
  echo "LogPixels $dpi: client area $size, $picture"
  close_program
  wait_status "$program_pid"
done
