#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures Zielwerk and prints a table: start-up time until the window is
# shown, CPU used while idle with the preview scrolling and while it stands
# still, the X server's CPU and the requests the program sends it meanwhile,
# peak memory, reading and writing a settings file, decoding a 160 x 14
# picture of each format, the wall time of one settings transfer and one
# picture transfer against the display simulator, and the picture sent from
# the window: how long it takes from the click and the longest time the
# window leaves a question unanswered meanwhile; zielwerk-senden's start and
# the picture it sends, with its CPU time meanwhile. Start-up, idle cost and
# memory are measured in the same run for gtkterm (a GTK 3 serial terminal
# from Debian, installed here if missing) and shown beside Zielwerk's as a
# ratio; --before adds an earlier build of Zielwerk, measured in turn with the
# others. Below the table, the start-up and peak memory of a window with one
# label, in plain GTK and through gtkmm: the floor a program stands on with
# and without the C++ binding; and the picture maker on a 4000 x 3000 photo
# (made here with ImageMagick): decoding, the first scaling, and a change of
# the threshold until the new frame is painted. Nothing here fails on a slow
# machine: the goals are printed for comparison, not enforced.
#
# The port list's opening time (the ports read and described as the list
# about to open does) is measured here, and with --wine also under Wine from
# the Windows build (build-win/, made by scripts/build-windows.sh).
#
# Usage: scripts/benchmark.sh [--runs N] [--idle SECONDS] [--repeats N] [--build DIR]
#                             [--before PROGRAM] [--no-peer] [--wine]
#   --runs N            start-ups per program, the median is shown (default 10)
#   --idle SECONDS      length of each idle CPU measurement (default 30)
#   --repeats N         transfers of each kind against the simulator (default 3)
#   --build DIR         build folder to use and build into (default build)
#   --before PROGRAM    an earlier build of the program to show beside this one
#   --no-peer           measure Zielwerk alone
#   --wine              also open the port list under Wine (build-win/)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=10
idle_seconds=30
repeats=3
build_dir=build
before_program=""
with_peer=1
with_wine=0
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --idle) idle_seconds=$2; shift 2 ;;
    --repeats) repeats=$2; shift 2 ;;
    --build) build_dir=$2; shift 2 ;;
    --before) before_program=$2; shift 2 ;;
    --no-peer) with_peer=0; shift ;;
    --wine) with_wine=1; shift ;;
    -h|--help) sed -n '3,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) echo "benchmark.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
case "$runs$idle_seconds$repeats" in
  *[!0-9]*) echo "benchmark.sh: --runs, --idle and --repeats take whole numbers" >&2; exit 2 ;;
esac
if [ "$runs" -lt 1 ] || [ "$idle_seconds" -lt 1 ] || [ "$repeats" -lt 1 ]; then
  echo "benchmark.sh: counts must be at least 1" >&2
  exit 2
fi
if [ -n "$before_program" ]; then
  [ -x "$before_program" ] || { echo "benchmark.sh: $before_program is no program" >&2; exit 2; }
  before_program=$(cd "$(dirname "$before_program")" && pwd)/$(basename "$before_program")
fi

note() { printf '%s\n' "$*" >&2; }

# ---------------------------------------------------------------- preparation
./scripts/install-deps.sh
if [ "$with_peer" = 1 ] && ! command -v gtkterm >/dev/null; then
  note "Installing gtkterm for the comparison..."
  sudo_command=""
  [ "$(id -u)" -eq 0 ] || sudo_command=sudo
  if ! DEBIAN_FRONTEND=noninteractive $sudo_command apt-get install -y -qq --no-install-recommends gtkterm >/dev/null 2>&1; then
    $sudo_command apt-get update -qq >/dev/null 2>&1 || true
    DEBIAN_FRONTEND=noninteractive $sudo_command apt-get install -y -qq --no-install-recommends gtkterm >/dev/null 2>&1 || true
  fi
  command -v gtkterm >/dev/null || { note "gtkterm could not be installed; measuring Zielwerk alone."; with_peer=0; }
fi

note "Building in $build_dir..."
cmake -S . -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j"${ZIELWERK_JOBS:-$(nproc)}" --target zielwerk zielwerk-senden zielwerk-display-sim zielwerk-core-bench \
  zielwerk-window-wait zielwerk-x-requests zielwerk-label-gtk zielwerk-label-gtkmm \
  zielwerk-picture-maker-bench >/dev/null
build_dir=$(cd "$build_dir" && pwd)
zielwerk_program=$build_dir/zielwerk
simulator=$build_dir/zielwerk-display-sim
core_bench=$build_dir/zielwerk-core-bench
sender=$build_dir/zielwerk-senden
window_wait=$build_dir/zielwerk-window-wait
x_requests=$build_dir/zielwerk-x-requests
label_gtk=$build_dir/zielwerk-label-gtk
label_gtkmm=$build_dir/zielwerk-label-gtkmm
picture_maker_bench=$build_dir/zielwerk-picture-maker-bench

scratch=$(mktemp -d)
started_pids=()
cleanup() {
  local pid
  for pid in "${started_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${started_pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Our own X server on a display number it picks itself. It keeps running
# between clients (-noreset), as a desktop session's server does: the first
# GTK program on a server probes its OpenGL visuals and leaves the result on
# the root window for every later one, which a resetting server would throw
# away after each start.
exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
started_pids+=("$xvfb_pid")
exec 3>&-
for _ in $(seq 100); do
  [ -s "$scratch/display" ] && break
  sleep 0.05
done
[ -s "$scratch/display" ] || { note "Xvfb did not start: $(cat "$scratch/xvfb.log")"; exit 1; }
DISPLAY=:$(head -n 1 "$scratch/display")
export DISPLAY
export GDK_BACKEND=x11 NO_AT_BRIDGE=1

# The display simulator, for the transfers.
"$simulator" >"$scratch/simulator.log" 2>&1 &
started_pids+=("$!")
for _ in $(seq 100); do
  grep -q '^Port: ' "$scratch/simulator.log" && break
  sleep 0.05
done
port=$(sed -n 's/^Port: //p' "$scratch/simulator.log")
[ -n "$port" ] || { note "the display simulator did not start: $(cat "$scratch/simulator.log")"; exit 1; }

# Zielwerk's working folders: the data files, as the launcher sets it up, and
# once more with a settings file whose scroll text fits the preview, which
# therefore stands still. The earlier build gets folders of its own.
zielwerk_folder=$scratch/zielwerk
still_folder=$scratch/zielwerk-still
before_folder=$scratch/before
before_still_folder=$scratch/before-still
for folder in "$zielwerk_folder" "$still_folder" "$before_folder" "$before_still_folder"; do
  mkdir -p "$folder"
  cp -R data/. "$folder/"
done
for folder in "$still_folder" "$before_still_folder"; do
  printf '\xef\xbb\xbf\nScrollstring = Bernina\n' >"$folder/Default.ini"
done
zielwerk_title="Zielwerk V"

# gtkterm with a home folder of its own and a config file, so that no
# first-start message box appears.
gtkterm_home=$scratch/gtkterm-home
mkdir -p "$gtkterm_home/.config"
cat >"$gtkterm_home/.config/.gtktermrc" <<'EOF'
[default]
port	= /dev/ttyS0
speed	= 9600
bits	= 8
stopbits	= 1
parity	= none
flow	= none
wait_delay	= 0
wait_char	= -1
rs485_rts_time_before_tx	= 30
rs485_rts_time_after_tx	= 30
echo	= False
crlfauto	= False
timestamp	= False
font	= "Monospace 12"
term_block_cursor	= True
term_rows	= 80
term_columns	= 25
term_scrollback	= 10000
term_visual_bell	= True
term_foreground_red	= 0.660000
term_foreground_blue	= 0.660000
term_foreground_green	= 0.660000
term_foreground_alpha	= 1.000000
term_background_red	= 0.000000
term_background_blue	= 0.000000
term_background_green	= 0.000000
term_background_alpha	= 1.000000
EOF
gtkterm_title="GTKTerm"

# run_in_folder NAME [still]: execs that program in its folder (with "still",
# Zielwerk in the folder where its preview stands still).
run_in_folder() {
  case $1${2:+-$2} in
    zielwerk) cd "$zielwerk_folder" && exec "$zielwerk_program" ;;
    zielwerk-still) cd "$still_folder" && exec "$zielwerk_program" ;;
    before) cd "$before_folder" && exec "$before_program" ;;
    before-still) cd "$before_still_folder" && exec "$before_program" ;;
    gtkterm) cd "$gtkterm_home" && HOME=$gtkterm_home exec gtkterm ;;
    label-gtk) exec "$label_gtk" ;;
    label-gtkmm) exec "$label_gtkmm" ;;
  esac
}
title_of() {
  case $1 in
    zielwerk|before) printf '%s' "$zielwerk_title" ;;
    gtkterm) printf '%s' "$gtkterm_title" ;;
    label-*) printf 'Floor' ;;
  esac
}
export -f run_in_folder
export zielwerk_folder still_folder zielwerk_program before_folder before_still_folder \
  before_program gtkterm_home label_gtk label_gtkmm

median() {
  sort -g | awk '{ value[NR] = $1 } END { if (NR == 0) exit 1; if (NR % 2) print value[(NR + 1) / 2]; else print (value[NR / 2] + value[NR / 2 + 1]) / 2 }'
}

# One start: "MS CPU_MS", the milliseconds until the window is mapped with
# its title and the CPU time the program had used by then; the program is
# then asked to end (SIGTERM) and waited for.
time_one_start() {
  local output
  output=$("$window_wait" --timeout 60 --stop "$(title_of "$1")" -- bash -c "run_in_folder $1" 2>>"$scratch/$1.stderr") ||
    { note "$1 did not show its window: $(tail -n 5 "$scratch/$1.stderr")"; return 1; }
  printf '%s %s\n' "$(printf '%s\n' "$output" | sed -n 's/^mapped //p')" \
    "$(printf '%s\n' "$output" | sed -n 's/^cpu //p')"
}

programs=(zielwerk)
[ -n "$before_program" ] && programs+=(before)
[ "$with_peer" = 1 ] && programs+=(gtkterm)
# A window with one label, in plain GTK and through gtkmm: what a window
# costs before a program puts anything in it, with and without the C++
# binding Zielwerk is built on.
floors=(label-gtk label-gtkmm)

# ---------------------------------------------------------------- start-up
note "Start-up: $runs runs each (after one warm-up run)..."
time_one_start zielwerk >/dev/null
[ -z "$before_program" ] || time_one_start before >/dev/null
for floor in "${floors[@]}"; do
  time_one_start "$floor" >/dev/null
done
if [ "$with_peer" = 1 ] && ! time_one_start gtkterm >/dev/null; then
  note "gtkterm did not start here; measuring Zielwerk alone."
  with_peer=0
  programs=(zielwerk)
  [ -n "$before_program" ] && programs+=(before)
fi
for _ in $(seq "$runs"); do
  for program in "${programs[@]}" "${floors[@]}"; do
    time_one_start "$program" >>"$scratch/$program.start"
  done
done
declare -A startup_ms startup_cpu_ms
for program in "${programs[@]}" "${floors[@]}"; do
  startup_ms[$program]=$(awk '{ print $1 }' "$scratch/$program.start" | median)
  # Read through measure_row's name reference.
  # shellcheck disable=SC2034
  startup_cpu_ms[$program]=$(awk '{ print $2 }' "$scratch/$program.start" | median)
done

# ---------------------------------------------------------------- idle cost and memory
clock_ticks=$(getconf CLK_TCK)
cpu_ns() {
  # CPU time of all the process's threads in nanoseconds: the scheduler's own
  # account where the kernel keeps one, else user plus system time in ticks
  # (whose 10 ms steps are coarse for a figure of a few tenths of a per cent).
  if [ -r "/proc/$1/schedstat" ]; then
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ sum += $1 } END { printf "%.0f", sum }'
  else
    sed 's/.*) //' "/proc/$1/stat" | awk -v hz="$clock_ticks" '{ printf "%.0f", ($12 + $13) * 1e9 / hz }'
  fi
}
now_seconds() {
  date +%s.%N
}
percent() {
  # percent NANOSECONDS START END: CPU time as per cent of one core.
  awk -v ns="$1" -v s="$2" -v e="$3" 'BEGIN { printf "%.2f", ns / 1e9 / (e - s) * 100 }'
}
request_seconds=10
declare -A idle_cpu xserver_cpu peak_kb x_request_count
# start_shown KEY PROGRAM [still]: starts the program and returns once its
# window is shown, with wait_pid (the window waiter's) and program_pid set.
wait_pid="" program_pid=""
start_shown() {
  local key=$1 program=$2 variant=${3:-} output=$scratch/$1.shown
  "$window_wait" --timeout 60 "$(title_of "$program")" -- bash -c "run_in_folder $program $variant" \
    >"$output" 2>>"$scratch/$program.stderr" &
  wait_pid=$!
  started_pids+=("$wait_pid")
  for _ in $(seq 1200); do
    grep -q '^mapped ' "$output" && break
    kill -0 "$wait_pid" 2>/dev/null || break
    sleep 0.05
  done
  grep -q '^mapped ' "$output" || { note "$key did not show its window"; exit 1; }
  # bash -c execs the program, so the started process is the program itself.
  program_pid=$(sed -n 's/^pid //p' "$output")
}
# stop_shown: ends the program start_shown started.
stop_shown() {
  kill -TERM "$program_pid" 2>/dev/null || true
  wait "$wait_pid" 2>/dev/null || true
}
# measure_idle KEY PROGRAM [still]: starts the program, leaves it alone for
# the idle time, then counts its X requests for $request_seconds seconds.
measure_idle() {
  local key=$1 program=$2 variant=${3:-} start_time end_time start_cpu end_cpu start_x end_x
  note "Idle cost of $key over ${idle_seconds} s..."
  start_shown "$key" "$program" "$variant"
  sleep 2
  start_time=$(now_seconds)
  start_cpu=$(cpu_ns "$program_pid")
  start_x=$(cpu_ns "$xvfb_pid")
  sleep "$idle_seconds"
  end_cpu=$(cpu_ns "$program_pid")
  end_x=$(cpu_ns "$xvfb_pid")
  end_time=$(now_seconds)
  peak_kb[$key]=$(awk '/^VmHWM:/ { print $2 }' "/proc/$program_pid/status")
  idle_cpu[$key]=$(percent "$((end_cpu - start_cpu))" "$start_time" "$end_time")
  xserver_cpu[$key]=$(percent "$((end_x - start_x))" "$start_time" "$end_time")
  x_request_count[$key]=$({ "$x_requests" --seconds "$request_seconds" "$(title_of "$program")" || true; } |
    sed -n 's/^requests //p')
  stop_shown
}
for program in "${programs[@]}"; do
  measure_idle "$program" "$program"
  [ "$program" = gtkterm ] || measure_idle "$program-still" "$program" still
done
# The one-label windows do nothing once shown; their peak is reached by then.
for floor in "${floors[@]}"; do
  start_shown "$floor" "$floor"
  sleep 2
  peak_kb[$floor]=$(awk '/^VmHWM:/ { print $2 }' "/proc/$program_pid/status")
  stop_shown
done

# ---------------------------------------------------------------- core work
note "Settings file, pictures and transfers..."
fixtures=$scratch/pictures
mkdir -p "$fixtures"
source_picture=data/wagen_BERNINA_EXPRESS.bmp
convert "$source_picture" -resize '160x14!' BMP3:"$fixtures/wagen.bmp"
convert "$source_picture" -resize '160x14!' "$fixtures/wagen.png"
convert "$source_picture" -resize '160x14!' "$fixtures/wagen.gif"
convert "$source_picture" -resize '160x14!' -quality 90 "$fixtures/wagen.jpg"
{
  "$core_bench" ini "$scratch" 1000
  "$core_bench" decode --iterations 1000 "$fixtures"/wagen.bmp "$fixtures"/wagen.png \
    "$fixtures"/wagen.gif "$fixtures"/wagen.jpg
  "$core_bench" link "/dev/$port" "$fixtures/wagen.bmp" "$repeats"
  "$core_bench" ports 20
} >"$scratch/core.txt"
if [ "$with_wine" = 1 ]; then
  note "The port list under Wine..."
  if [ -d build-win ] && cmake --build build-win --target zielwerk-core-bench >/dev/null; then
    WINEPREFIX=$scratch/wine WINEDEBUG=-all wine build-win/zielwerk-core-bench.exe ports 20 2>/dev/null |
      tr -d '\r' | sed 's/^port_list/wine_port_list/' >>"$scratch/core.txt" ||
      note "the Windows core bench did not run under Wine"
  else
    note "no Windows build in build-win/: run scripts/build-windows.sh first"
  fi
fi
# The window while it sends the picture: how long it leaves a question
# unanswered (a screen reader's, through the accessibility bridge on a
# session bus of its own) and how long the transfer takes from the click.
note "The window while it sends the picture..."
response_args=(--port "$port" --repeats "$repeats")
for key in zielwerk before; do
  [ "$key" = zielwerk ] || [ -n "$before_program" ] || continue
  folder=$scratch/$key-transfer
  mkdir -p "$folder"
  cp -R data/. "$folder/"
  cp "$fixtures/wagen.bmp" "$folder/bild.bmp"
  printf '\xef\xbb\xbf\nBild = bild.bmp\n' >"$folder/Default.ini"
  program=$zielwerk_program
  [ "$key" = zielwerk ] || program=$before_program
  dbus-run-session -- /usr/bin/python3 tools/transfer_response.py --program "$program" \
    --folder "$folder" "${response_args[@]}" >"$scratch/$key.response" 2>>"$scratch/$key.stderr" ||
    note "$key: the window's transfer could not be timed: $(tail -n 3 "$scratch/$key.stderr")"
done
# zielwerk-senden: its start (--help, nothing read) and the picture it sends
# from a settings file, each with its wall and CPU time ("WALL_MS CPU_MS
# STATUS" a run).
note "zielwerk-senden..."
sender_run() {
  (cd "$scratch/sender" && /usr/bin/python3 -c '
import resource, subprocess, sys, time
def cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime
before, start = cpu(), time.monotonic()
status = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
print(f"{(time.monotonic() - start) * 1000:.1f} {(cpu() - before) * 1000:.1f} {status}")' \
    "$sender" "$@")
}
mkdir -p "$scratch/sender"
cp "$fixtures/wagen.bmp" "$scratch/sender/bild.bmp"
printf '\xef\xbb\xbf\nZugtyp = 3\nBild = bild.bmp\n' >"$scratch/sender/Default.ini"
for _ in $(seq "$runs"); do sender_run --help; done >"$scratch/sender-start.txt"
for _ in $(seq "$repeats"); do sender_run -p "$port" --nur bild; done >"$scratch/sender-picture.txt"
# A photo of the size a camera or phone takes: sky, a red coach with windows,
# and the grain of a sensor.
convert -size 4000x3000 gradient:'#6fa8dc-#f4f1e8' -fill '#8a1c1c' \
  -draw 'roundrectangle 300,1200 3700,2400 100,100' -fill '#f2f2f2' \
  -draw 'rectangle 600,1400 1100,1800 rectangle 1400,1400 1900,1800 rectangle 2200,1400 2700,1800' \
  -seed 4 -attenuate 0.3 +noise Gaussian -quality 90 "$fixtures/photo.jpg"
"$picture_maker_bench" "$fixtures/photo.jpg" 50 >>"$scratch/core.txt"

figure() {
  # figure NAME [FIELD]: a value from the core bench's output.
  awk -v name="$1" -v field="${2:-2}" '$1 == name { print $field; exit }' "$scratch/core.txt"
}
decode_figure() {
  awk -v file="$1" '$1 == "decode_us" && $2 == file { print $3; exit }' "$scratch/core.txt"
}

# ---------------------------------------------------------------- table
ratio() {
  [ "$with_peer" = 1 ] && awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }' || printf -- '-'
}
verdict() {
  # verdict EXPRESSION (awk): "yes" or "NO".
  awk "BEGIN { if ($1) print \"yes\"; else print \"NO\" }"
}

settings_ms=$(figure settings_transfer_ms)
picture_ms=$(figure picture_transfer_ms)
z_start=${startup_ms[zielwerk]}
z_cpu=${idle_cpu[zielwerk]}
z_peak=${peak_kb[zielwerk]}
g_start=${startup_ms[gtkterm]:-0}
g_x=${xserver_cpu[gtkterm]:-0}
floor_peak=${peak_kb[label-gtkmm]}

row() {
  printf '| %-44s | %12s | %12s | %12s | %6s | %-22s | %-4s |\n' "$@"
}
# shown VALUE UNIT: a figure as the table shows it (UNIT ms, %, MB for a
# value in kB, or none), "-" for a program not measured.
shown() {
  if [ -z "$1" ]; then
    printf -- '-'
    return
  fi
  case $2 in
    ms) printf '%.0f ms' "$1" ;;
    %) printf '%s %%' "$1" ;;
    MB) awk -v kb="$1" 'BEGIN { printf "%.1f MB", kb / 1024 }' ;;
    *) printf '%s' "$1" ;;
  esac
}
# measure_row LABEL UNIT ARRAY KEY GOAL MET: a row of one measure for
# Zielwerk, the earlier build and gtkterm, and the ratio Zielwerk / gtkterm.
measure_row() {
  local label=$1 unit=$2 array=$3 key=$4 goal=$5 met=$6
  local -n values=$array
  local z=${values[$key]:-} b=${values[before${key#zielwerk}]:-} g=${values[gtkterm${key#zielwerk}]:-}
  row "$label" "$(shown "$z" "$unit")" "$(shown "$b" "$unit")" "$(shown "$g" "$unit")" \
    "$( [ -n "$g" ] && ratio "$z" "$g" || printf -- '-')" "$goal" "$met"
}
printf '\nZielwerk benchmark, %s, %s cores, load average %s\n\n' "$(date +%F)" "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"
row "Measure" "Zielwerk" "before" "gtkterm" "ratio" "goal" "met"
row "--------------------------------------------" "------------" "------------" "------------" "------" \
  "----------------------" "----"
start_met="-" x_met="-"
if [ "$with_peer" = 1 ]; then
  start_met=$(verdict "$z_start <= $g_start * 1.1")
  x_met=$(verdict "${xserver_cpu[zielwerk]} <= $g_x + 0.05")
fi
measure_row "Start-up to window shown (median of $runs)" ms startup_ms zielwerk "<= gtkterm + 10 %" "$start_met"
measure_row "CPU used by then (median)" ms startup_cpu_ms zielwerk "" ""
measure_row "Idle CPU, preview running, % of one core" % idle_cpu zielwerk "<= 0.45 %" \
  "$(verdict "$z_cpu <= 0.45")"
measure_row "X server CPU meanwhile, % of one core" % xserver_cpu zielwerk "<= gtkterm + 0.05 %" "$x_met"
measure_row "X requests in ${request_seconds} s, preview running" count x_request_count zielwerk "" ""
measure_row "Idle CPU, preview standing, % of one core" % idle_cpu zielwerk-still "" ""
measure_row "X server CPU meanwhile, % of one core" % xserver_cpu zielwerk-still "" ""
measure_row "X requests in ${request_seconds} s, preview standing" count x_request_count zielwerk-still "0" \
  "$(verdict "${x_request_count[zielwerk-still]:--1} == 0")"
measure_row "Peak resident memory (VmHWM)" MB peak_kb zielwerk "<= gtkmm floor + 6 MiB" \
  "$(verdict "$z_peak <= $floor_peak + 6144")"
row "Settings file read (open, 14 keys, close)" "$(figure ini_read_us) us" "-" "-" "-" "" ""
row "Settings file write (open, 14 keys, save)" "$(figure ini_write_us) us" "-" "-" "-" "" ""
for format in bmp png gif jpg; do
  row "Decode 160 x 14 picture, ${format^^}" "$(decode_figure "wagen.$format") us" "-" "-" "-" "" ""
done
row "Picture to seven row commands" "$(figure row_commands_us) us" "-" "-" "-" "" ""
row "Bildwandler: decode 4000 x 3000 JPEG" "$(figure decode_ms) ms" "-" "-" "-" "" ""
row "Bildwandler: first scaling, fit height" "$(figure scale_height_ms) ms" "-" "-" "-" "" ""
row "Bildwandler: first scaling, fit width" "$(figure scale_width_ms) ms" "-" "-" "-" "" ""
row "Bildwandler: threshold to new dots" "$(figure dots_height_ms) ms" "-" "-" "-" "" ""
change_ms=$(figure change_to_frame_median_ms)
row "Bildwandler: threshold to new frame (median)" "$change_ms ms" "-" "-" "-" "< 50 ms" \
  "$(verdict "$change_ms < 50")"
row "Bildwandler: threshold to new frame (max)" "$(figure change_to_frame_max_ms) ms" "-" "-" "-" "< 50 ms" \
  "$(verdict "$(figure change_to_frame_max_ms) < 50")"
port_open_ms=$(figure port_list_open_ms)
row "Port list opened, $(figure port_list_open_ms 4) ports (median)" "$port_open_ms ms" "-" "-" "-" \
  "<= 20 ms" "$(verdict "$port_open_ms <= 20")"
row "Port list at start-up (ls -1 /dev)" "$(figure port_list_start_ms) ms" "-" "-" "-" "" ""
if [ -n "$(figure wine_port_list_open_ms)" ]; then
  wine_open_ms=$(figure wine_port_list_open_ms)
  row "Port list opened under Wine (median)" "$wine_open_ms ms" "-" "-" "-" "<= 20 ms" \
    "$(verdict "$wine_open_ms <= 20")"
  row "Port list at start-up under Wine (chgport)" "$(figure wine_port_list_start_ms) ms" "-" "-" "-" "" ""
fi
row "Settings transfer (median of $repeats)" "$(printf '%.1f ms' "$settings_ms")" "-" "-" "-" "<= 530 ms" \
  "$(verdict "$settings_ms <= 530")"
row "Picture transfer (median of $repeats)" "$(printf '%.1f ms' "$picture_ms")" "-" "-" "-" "<= 3600 ms" \
  "$(verdict "$picture_ms <= 3600")"
sender_start_ms=$(cut -d' ' -f1 "$scratch/sender-start.txt" | median)
sender_picture_ms=$(cut -d' ' -f1 "$scratch/sender-picture.txt" | median)
sender_cpu_ms=$(cut -d' ' -f2 "$scratch/sender-picture.txt" | sort -n | tail -n 1)
sender_failed=$(awk '$3 != 0' "$scratch/sender-start.txt" "$scratch/sender-picture.txt" | wc -l)
row "zielwerk-senden: start to exit, --help" "$sender_start_ms ms" "-" "-" "-" "< 50 ms" \
  "$(verdict "$sender_start_ms < 50")"
row "zielwerk-senden: picture sent (median of $repeats)" "$sender_picture_ms ms" "-" "-" "-" "<= 3600 ms" \
  "$(verdict "$sender_picture_ms <= 3600 && $sender_failed == 0")"
row "zielwerk-senden: CPU while sending it (max)" "$sender_cpu_ms ms" "-" "-" "-" "<= 50 ms" \
  "$(verdict "$sender_cpu_ms <= 50")"
# response KEY NAME: the median transfer time or the longest unanswered
# question of a program's picture transfers in the window, "" when not timed.
response() {
  [ -s "$scratch/$1.response" ] || return 0
  if [ "$2" = transfer_ms ]; then
    awk '$1 == "transfer_ms" { print $2 }' "$scratch/$1.response" | median
  else
    awk '$1 == "longest_unanswered_ms" { if ($2 > m) m = $2 } END { print m + 0 }' "$scratch/$1.response"
  fi
}
# Read through measure_row's name reference.
# shellcheck disable=SC2034
declare -A window_transfer_ms=([zielwerk]=$(response zielwerk transfer_ms) [before]=$(response before transfer_ms))
# shellcheck disable=SC2034
declare -A window_unanswered_ms=([zielwerk]=$(response zielwerk longest_unanswered_ms)
                                 [before]=$(response before longest_unanswered_ms))
measure_row "Picture sent from the window (median of $repeats)" ms window_transfer_ms zielwerk "<= 3600 ms" \
  "$(verdict "${window_transfer_ms[zielwerk]:-99999} <= 3600")"
measure_row "Window unanswered meanwhile, longest" ms window_unanswered_ms zielwerk "< 20 ms" \
  "$(verdict "${window_unanswered_ms[zielwerk]:-99999} < 20")"
reply_of() {
  sed -n "s/^$1 [^ ]* [^ ]* [^ ]* //p" "$scratch/core.txt"
}
printf '\nStatus after the transfers: settings "%s", picture "%s".\n' \
  "$(reply_of settings_transfer_ms)" "$(reply_of picture_transfer_ms)"
printf 'A window with one label, shown and peak memory: plain GTK %s, %s; through gtkmm %s, %s.\n' \
  "$(shown "${startup_ms[label-gtk]}" ms)" "$(shown "${peak_kb[label-gtk]}" MB)" \
  "$(shown "${startup_ms[label-gtkmm]}" ms)" "$(shown "${peak_kb[label-gtkmm]}" MB)"
