# shellcheck shell=bash
# Sourced by the Wine test scripts: start_private_display FIRST LAST starts
# Xvfb on the first free display number from FIRST to LAST, waits for its
# socket and exports DISPLAY; xvfb_pid names the server for the caller's
# clean-up. Each script takes its own range, so two can run side by side.
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
