#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's pictures of the windows: starts Zielwerk (or the picture
# maker) under Xvfb in a temporary working folder made from data/, waits
# until its window is mapped, saves the window's content as PNG and closes the
# program.
#
# Usage: scripts/screenshot.sh [--settings FILE] [--scale FACTOR] [--theme THEME] [--bildwandler]
#                              [--port-list] [OUTPUT.png]
#   OUTPUT.png       where to write the picture (default docs/zielwerk.png,
#                    with --bildwandler docs/bildwandler.png)
#   --settings FILE  start with FILE as Default.ini instead of the defaults
#   --scale FACTOR   texts FACTOR times as large, as GNOME's text scaling
#                    makes them (GDK_DPI_SCALE), on a screen large enough for
#                    the window that grows with them
#   --bildwandler    the picture maker's window with the test photo
#                    tests/data/picture/photo.jpg opened
#   --theme THEME    GTK's theme THEME (GTK_THEME: Adwaita:dark, HighContrast,
#                    HighContrastInverse)
#   --port-list      the port field of Zielwerk with its list open (four
#                    ports, the two USB adapters with their descriptions),
#                    clicked open as a user does
#
# The serial port list comes from a stand-in "ls" that names /dev/ttyUSB0 (with
# --port-list from a stand-in system), so the picture is the same on every
# machine and no "no port" box is in the way.
# No window manager runs under Xvfb: the picture shows the window without its
# frame, menu bar to status bar, 530 x 600 pixels at the standard text size.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

settings=""
scale=""
output=""
inside=0
bildwandler=0
port_list=0
theme=""
while [ $# -gt 0 ]; do
  case $1 in
    --settings) settings=$(realpath "$2"); shift 2 ;;
    --scale) scale=$2; shift 2 ;;
    --bildwandler) bildwandler=1; shift ;;
    --port-list) port_list=1; shift ;;
    --theme) theme=$2; shift 2 ;;
    --inside) inside=1; shift ;;
    -h|--help) sed -n '3,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) echo "screenshot.sh: unknown option $1" >&2; exit 2 ;;
    *) output=$1; shift ;;
  esac
done

if [ "$bildwandler" = 1 ]; then
  program=zielwerk-bildwandler
  title='Bildwandler$'
  : "${output:=docs/bildwandler.png}"
else
  program=zielwerk
  title='^Zielwerk V'
  : "${output:=docs/zielwerk.png}"
fi

if [ "$inside" = 0 ]; then
  ./scripts/install-deps.sh
  cmake -S . -B build >/dev/null
  cmake --build build -j"${ZIELWERK_JOBS:-$(nproc)}" --target "$program" >/dev/null
  mkdir -p "$(dirname "$output")"
  output=$(realpath "$output")
  args=(--inside)
  [ -n "$settings" ] && args+=(--settings "$settings")
  [ -n "$scale" ] && args+=(--scale "$scale")
  [ "$bildwandler" = 1 ] && args+=(--bildwandler)
  [ "$port_list" = 1 ] && args+=(--port-list)
  [ -n "$theme" ] && args+=(--theme "$theme")
  exec xvfb-run -a -s "-screen 0 2560x1600x24 -nolisten tcp" "$root/scripts/screenshot.sh" "${args[@]}" "$output"
fi

# ------------------------------------------------------------ on the Xvfb display
work=$(mktemp -d)
program_pid=""
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    kill -TERM "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

cp -r "$root/data/." "$work/"
[ -n "$settings" ] && cp "$settings" "$work/Default.ini"
mkdir "$work/.bin"
printf '#!/bin/sh\nprintf "ttyUSB0\\n"\n' > "$work/.bin/ls"
chmod 755 "$work/.bin/ls"
if [ "$port_list" = 1 ]; then
  # The list is read again as it opens, from /dev itself: a stand-in system
  # (ZIELWERK_SYSTEM_ROOT) names its four ports, and its sys/ says what the
  # two USB adapters are, laid out as the kernel lays it out.
  system=$work/.system
  mkdir -p "$system/dev"
  for name in ttyACM0 ttyS0 ttyS1 ttyUSB0; do : >"$system/dev/$name"; done
  for adapter in "1-1|1-1:1.0/ttyUSB0|ttyUSB0|FTDI|FT232R USB UART" \
                 "1-2|1-2:1.0|ttyACM0|Arduino (www.arduino.cc)|Arduino Uno"; do
    IFS='|' read -r device port name manufacturer product <<<"$adapter"
    usb=$system/sys/devices/usb1/$device
    mkdir -p "$usb/$port" "$system/sys/class/tty/$name"
    echo 0403 >"$usb/idVendor"
    echo "$manufacturer" >"$usb/manufacturer"
    echo "$product" >"$usb/product"
    ln -s "$usb/$port" "$system/sys/class/tty/$name/device"
  done
  export ZIELWERK_SYSTEM_ROOT=$system
  printf '\357\273\277\nCOM-Name = ttyUSB0\n' > "$work/Zielstell.ini"
fi

[ -n "$scale" ] && export GDK_DPI_SCALE=$scale
[ -n "$theme" ] && export GTK_THEME=$theme
program_args=()
[ "$bildwandler" = 1 ] && program_args=("$root/tests/data/picture/photo.jpg")
(cd "$work" && PATH="$work/.bin:$PATH" NO_AT_BRIDGE=1 exec "$root/build/$program" "${program_args[@]}" 2>"$work/stderr") &
program_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n 1) || true
if [ -z "$window" ]; then
  echo "screenshot.sh: the window did not appear" >&2
  cat "$work/stderr" >&2
  exit 1
fi
# Let the first frames be drawn and the preview start scrolling.
sleep 1.5
if [ "$port_list" = 1 ]; then
  # The list opens below the field as a window of its own: the picture is
  # the part of the screen around the field and the open list, which the
  # rest of the window would only repeat. The arrow of the port field lies
  # at (271, 149) in the window at the standard text size.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + 271)) $((Y + 149)) click 1
  sleep 1
  import -window root -crop "366x154+$((X + 162))+$((Y + 114))" +repage "$output"
else
  import -window "$window" "$output"
fi

kill -TERM "$program_pid"
wait "$program_pid" || true
program_pid=""
if [ -s "$work/stderr" ]; then
  echo "screenshot.sh: the program wrote to stderr:" >&2
  cat "$work/stderr" >&2
fi
echo "$output: $(identify -format '%w x %h' "$output")"
