# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced by the Wine test scripts: start_private_display FIRST LAST starts
# Xvfb on the first free display number from FIRST to LAST, waits for its
# socket and exports DISPLAY; xvfb_pid names the server for the caller's
# clean-up. Each script takes its own range, so two can run side by side.
# The helpers after it find the program's window there, ask the program to
# close as Windows would, and collect its exit status; they expect wine64 in
# $wine64.
start_private_display() {
  local number display=
  for number in $(seq "$1" "$2"); do
    if [ ! -e "/tmp/.X11-unix/X$number" ] && [ ! -e "/tmp/.X$number-lock" ]; then
      display=:$number
      break
    fi
  done
  [ -n "$display" ] || { echo "ERROR: no free display number" >&2; exit 1; }
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  # shellcheck disable=SC2034 # for the caller
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
  done
  export DISPLAY=$display
}

# Waits up to 60 s for the program's window, or the one whose title matches
# $1; prints its id. A start through a Start-menu link on a busy two-core
# machine has been seen to take more than 30 s under Wine.
# shellcheck disable=SC2120 # $1 is optional
wait_window() {
  local window
  for _ in $(seq 600); do
    window=$(xdotool search --name "${1:-^Zielwerk V}" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && { echo "$window"; return 0; }
    sleep 0.1
  done
  return 1
}
# Sends the program (or the one whose file is $1) a close request, as from its
# title bar.
# shellcheck disable=SC2120 # $1 is optional
close_program() { "${wine64:?}" taskkill /im "${1:-zielwerk.exe}" >/dev/null 2>&1 || true; }
# Waits up to 30 s for process $1 to end; sets status to its exit status or "timeout".
# shellcheck disable=SC2034 # status is for the caller
wait_status() {
  status=timeout
  for _ in $(seq 300); do
    if ! kill -0 "$1" 2>/dev/null; then
      status=0
      wait "$1" || status=$?
      return
    fi
    sleep 0.1
  done
  kill "$1" 2>/dev/null || true
}
