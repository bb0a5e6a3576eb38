#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows program, its package and the core suites with MinGW-w64
# (scripts/build-windows.sh, then the suites in the same build-win/) and tests
# them under Wine, headless:
#   1. the core suites (.exe) through CTest, which runs them with wine64;
#   2. the serial line: a COM port of Wine mapped to the pseudo-terminal of the
#      Linux display simulator, which records what arrives;
#   3. the program itself on a private Xvfb display: window title, client
#      area, stderr, and the end of the session (wineboot --end-session) with
#      the program open: the first-start Zielstell.ini byte for byte, the
#      settings file, exit status 0; then the window test
#      (tests/windows/window_test.cc) there at LogPixels 96, 120, 144 and 192:
#      the form at the text size, every text and the preview's lines whole;
#   4. the zip and the installer of dist/ (scripts/windows/test-package.sh).
# Wine gets a private prefix under /tmp, removed at the end. The last line
# reads "windows: N passed, M failed, K skipped" (CTest's cases and the other
# checks).
#
# Usage: scripts/windows/test-windows.sh
# Environment: ZIELWERK_MINGW_PREFIX  the cross-built GTK stack (default: the
#                                     one scripts/windows/build-stack.sh builds
#                                     or reuses)
#              ZIELWERK_JOBS          build jobs (default: the number of cores)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
jobs=${ZIELWERK_JOBS:-$(nproc)}
build=$root/build-win

# --- build ------------------------------------------------------------------
scripts/build-windows.sh
version=$(sed -n 's/^version=//p' "$build/package.env")
echo "== The core suites in build-win/"
cmake --build "$build" -j"$jobs"
prefix=${ZIELWERK_MINGW_PREFIX:-$(scripts/windows/build-stack.sh --print-prefix)}
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
for tool in "$wine64" wineserver Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "ERROR: $tool is missing" >&2; exit 1; }
done
# The far end of the serial line is the Linux display simulator.
echo "== The Linux display simulator in build/"
[ -f build/CMakeCache.txt ] || cmake -S . -B build >/dev/null
cmake --build build -j"$jobs" --target zielwerk-display-sim

# shellcheck source=tests/support/pass_fail.sh
. "$root/tests/support/pass_fail.sh"
# shellcheck source=tests/support/ctest_counts.sh
. "$root/tests/support/ctest_counts.sh"
# No core suite skips under Wine: the COM port is mapped and Wine has no
# chgport of its own. A case that skips all the same fails the run.
# shellcheck disable=SC2034  # read by ctest_counts
expected_skips=()
skipped=0

work=$(mktemp -d /tmp/zielwerk-windows-test.XXXXXX)
export WINEPREFIX=$work/wine
sim_pid=
xvfb_pid=
cleanup() {
  set +e
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# --- Wine -------------------------------------------------------------------
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs in a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
unset DISPLAY
# Windows paths: the stack's DLLs and the MinGW runtime DLLs they link
# (libgcc, winpthread).
to_windows() { printf 'Z:%s' "${1//\//\\}"; }
gcc_runtime=$(dirname "$(x86_64-w64-mingw32-gcc-posix -print-libgcc-file-name)")
WINEPATH="$(to_windows "$prefix/bin");$(to_windows "$gcc_runtime");$(to_windows /usr/x86_64-w64-mingw32/lib)"
export WINEPATH
echo "== Preparing a Wine prefix in $WINEPREFIX"
# One wineserver, kept until the end, for all the runs to come.
mkdir -p "$WINEPREFIX"
wineserver -p >>"$work/wineserver.log" 2>&1
"$wine64" wineboot --init >/dev/null 2>&1
# Stops the server and whatever Wine runs in the background, and starts them
# anew with the present environment and registry. (A server that has already
# ended makes "wineserver -k" fail; that is as good as stopped.)
restart_wine() {
  wineserver -k || true
  wineserver -w
  wineserver -p >>"$work/wineserver.log" 2>&1
  "$wine64" wineboot >/dev/null 2>&1
}
# Wine's Tahoma, GTK's desktop font on Windows, does not render through
# Pango's Windows backend. (Wine has no Verdana and no Arial either: the
# program's own fallback to the sans face covers those.)
"$wine64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Tahoma /d "DejaVu Sans" /f >/dev/null 2>&1

# --- serial line: COM15 is the simulator's pseudo-terminal -------------------
# A port above COM9, which Windows finds only through the device prefix.
record=$work/received.bin
: >"$record"
build/zielwerk-display-sim --reply OK --delay 20 --record "$record" >"$work/simulator.log" 2>&1 &
sim_pid=$!
pts=
for _ in $(seq 50); do
  pts=$(sed -n 's/^Port: //p' "$work/simulator.log")
  [ -n "$pts" ] && break
  sleep 0.1
done
[ -n "$pts" ] || { echo "ERROR: the display simulator did not start" >&2; cat "$work/simulator.log" >&2; exit 1; }
"$wine64" reg add 'HKLM\Software\Wine\Ports' /v COM15 /d "/dev/$pts" /f >/dev/null 2>&1
# Wine maps its COM ports when wineserver starts.
restart_wine
echo "== COM15 is /dev/$pts"

# --- core suites --------------------------------------------------------------
echo "== Core suites under Wine"
ctest_log=$work/ctest.log
set +e
restarts=$work/wine-restarts.log
ZIELWERK_WINE_COM_PORT=COM15 ZIELWERK_WINE_FAR_END_RECORD="$(to_windows "$record")" \
ZIELWERK_WINE_RUN_LOG=$restarts \
  ctest --test-dir "$build" --output-on-failure --timeout 120 -j"$jobs" 2>&1 | tee "$ctest_log"
set -e
if [ -s "$restarts" ]; then
  echo "Runs Wine ended before the suite's first line or killed (scripts/windows/wine-run.sh):"
  sed 's/^/  /' "$restarts"
fi
if grep -qE '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$ctest_log"; then
  ctest_counts "$ctest_log"
  passed=$((passed + ctest_passed))
  failed=$((failed + ctest_failed))
  skipped=$ctest_skipped
else
  fail "CTest gave no summary"
fi
kill "$sim_pid" 2>/dev/null
wait "$sim_pid" 2>/dev/null || true
sim_pid=

# --- the program on a private display ------------------------------------------
echo "== The program under Wine on Xvfb"
# shellcheck source=scripts/windows/private-display.sh
. "$root/scripts/windows/private-display.sh"
start_private_display 91 140
# The suites may have left Wine's explorer.exe running without a display
# (a program that touches the desktop starts it); the program's window needs
# one on this display, so Wine's services start anew here.
restart_wine

folder=$work/program
mkdir -p "$folder/Icons"
cp data/wagen_*.bmp "$folder/"
cp data/Icons/*.ico "$folder/Icons/"
(cd "$folder" && exec "$wine64" "$build/zielwerk.exe" >"$work/program.log" 2>&1) &
program_pid=$!

if ! window=$(wait_window); then
  fail "the window did not appear within 30 s"
else
  sleep 2  # let the first frame be drawn
  title=$(xdotool getwindowname "$window")
  check "window title \"$title\"" [ "$title" = "Zielwerk V$version - [Default.ini]" ]
  size=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
  if [ "$size" = "530x480" ]; then pass "client area $size"; else fail "client area $size, not 530x480"; fi
  mkdir -p "$build/screenshots"
  import -window root -display "$DISPLAY" "$build/screenshots/zielwerk-wine.png"
  echo "   screenshot: $build/screenshots/zielwerk-wine.png"
  # Logging off: Windows ends the process right after WM_ENDSESSION.
  "$wine64" wineboot --end-session >/dev/null 2>&1 || true
fi

wait_status "$program_pid"
if [ "$status" = timeout ]; then
  fail "the program did not end within 30 s of the session's end"
elif [ "$status" -eq 0 ]; then
  pass "exit status 0"
else
  fail "exit status $status"
fi

# Nothing on stderr but what Wine itself causes: its registry has no keyboard
# layouts and no device properties, and Pango stumbles over the fonts Wine
# lists without a description (a real Windows has none of these).
unexpected=$(grep -E 'WARNING|CRITICAL|ERROR|Error' "$work/program.log" |
  grep -vE "pango_font_description_get_family: assertion 'desc != NULL'|Keyboard Layout|keyboard layout|device node property" || true)
if [ -z "$unexpected" ]; then
  pass "no warnings of the program's own on stderr"
else
  fail "warnings on stderr: $unexpected"
fi

# The first start writes Zielstell.ini with CR LF after the mark and every
# line, and the settings file, also when the session ends.
config=$folder/Zielstell.ini
if [ -f "$config" ]; then
  # At 20, 20 and with Wine's first port, COM1, as a first start has them.
  printf '\357\273\277\r\nFensterposition X = 20\r\nFensterposition Y = 20\r\nEinstellungen = Default.ini\r\nCOM = 0\r\nCOM-Name = COM1\r\n' \
    >"$work/expected.ini"
  if cmp -s "$work/expected.ini" "$config"; then
    pass "Zielstell.ini byte for byte"
  else
    fail "Zielstell.ini differs: $(od -c "$config" | head -5)"
  fi
else
  fail "no Zielstell.ini after the session's end"
fi
settings=$folder/Default.ini
# The form's defaults, as a first start saves them.
printf '\357\273\277\r\nDCC-Adresse = 4\r\nDCC/Analog = 0\r\nZugtyp = 0\r\nAnfangsstation = St. Moritz\r\nScrollstring = Pontresina-Morteratsch-Ospizio Bernina-Alp Gr\303\274m-Poschiavo-Brusio\r\nEndstation = Tirano\r\nModus Anfang = 0\r\nZeit Anfang = 1000\r\nModus Ende = 0\r\nZeit Ende = 1000\r\nWagennummer = 1\r\nkeine Wagennummer anzeigen = 0\r\nFahrtrichtung invertieren = 0\r\n' \
  >"$work/expected-default.ini"
if cmp -s "$work/expected-default.ini" "$settings"; then
  pass "Default.ini byte for byte, with CR LF"
else
  fail "Default.ini differs: $(od -c "$settings" 2>&1 | head -5)"
fi

# The window at the four text sizes of Windows' display settings (100 %, 125 %,
# 150 %, 200 %); at 192 dpi GTK draws every pixel twice itself and the form
# stays at factor 1. Each run is one GoogleTest case in the build's test
# program, with the working folder of its own that the fixture makes. The
# session ended above, so Wine's services start anew for them.
restart_wine
for case in 96:1 120:1.25 144:1.5 192:1; do
  dpi=${case%%:*}
  "$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  if ZIELWERK_TEST_FACTOR=${case#*:} timeout 120 "$wine64" "$build/tests/windows/window_test.exe" \
       >"$work/window-$dpi.log" 2>&1 && grep -q '^\[  PASSED  \] 1 test' "$work/window-$dpi.log"; then
    pass "window at LogPixels $dpi: the form at its text size, every text whole"
  else
    fail "window at LogPixels $dpi: $(grep -E 'Failure|Expected|actual|trace' "$work/window-$dpi.log" | head -20)"
  fi
done
"$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1

# --- the package -------------------------------------------------------------
echo "== The zip and the installer"
set +e
scripts/windows/test-package.sh --no-build 2>&1 | tee "$work/package.log"
set -e
line=$(grep -E '^package: [0-9]+ passed, [0-9]+ failed' "$work/package.log" | tail -1)
if [ -n "$line" ]; then
  passed=$((passed + $(echo "$line" | sed -E 's/^package: ([0-9]+) passed.*/\1/')))
  failed=$((failed + $(echo "$line" | sed -E 's/.* ([0-9]+) failed.*/\1/')))
else
  fail "the package test gave no summary"
fi

echo
close_check
echo "windows: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
