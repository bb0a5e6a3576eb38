#!/usr/bin/env bash
# Tests the Windows package of dist/ under Wine, headless, the way a user gets it:
#   1. the zip unpacked into a folder with an umlaut in its path: zielwerk.exe
#      starts from there with nothing but the zip's DLLs, shows its window, ends
#      with status 0 on a close request and writes Zielstell.ini there; the
#      picture maker's .com converts the standard pictures and a photo in
#      each format it must read in one run;
#   2. the installer (/S): the program folder, the Start-menu entries and the
#      uninstall entry; the launcher with a stand-in program fills the working
#      folder %APPDATA%\Zielwerk, keeps a file the user changed and starts the
#      program there; the real program from the Start-menu entry writes its
#      Zielstell.ini there; the launcher starts the picture maker there with
#      --bildwandler, and its Start-menu entry shows its window; the
#      uninstaller (/S) removes what was installed and leaves the working
#      folder alone.
# Wine gets a private prefix under /tmp (whose AppData folder has an umlaut in
# its path) and a private Xvfb; the stack's DLLs are not on its path. The last
# line reads "package: N passed, M failed".
#
# Usage: scripts/windows/test-package.sh [--no-build]
#   Without --no-build, scripts/build-windows.sh makes dist/ first.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
version=$(sed -n 's/^project(zielwerk VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=zielwerk-$version-win64
zip_file=$root/dist/$name.zip
setup_file=$root/dist/zielwerk-$version-setup.exe
screenshots=$root/build-win/screenshots

if [ "${1:-}" != --no-build ]; then
  scripts/build-windows.sh
fi
for f in "$zip_file" "$setup_file"; do
  [ -f "$f" ] || { echo "ERROR: $f is missing (run scripts/build-windows.sh)" >&2; exit 1; }
done
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
for tool in "$wine64" wineserver Xvfb xdotool import python3; do
  command -v "$tool" >/dev/null || { echo "ERROR: $tool is missing" >&2; exit 1; }
done

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "PASS: $*"; }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }
check() {  # check <description> <command...>
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

work=$(mktemp -d /tmp/zielwerk-package-test.XXXXXX)
export WINEPREFIX=$work/wine
xvfb_pid=
cleanup() {
  set +e
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# --- Wine and a display ---------------------------------------------------------
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes file names and arguments in the Unix locale's encoding.
export LC_ALL=C.UTF-8
unset WINEPATH ZIELWERK_PROGRAM
# shellcheck source=scripts/windows/private-display.sh
. "$root/scripts/windows/private-display.sh"
start_private_display 141 190

echo "== Preparing a Wine prefix in $WINEPREFIX"
mkdir -p "$WINEPREFIX"
wineserver -p >>"$work/wineserver.log" 2>&1
"$wine64" wineboot --init >/dev/null 2>&1
wine_reg() { "$wine64" reg "$@" >/dev/null 2>&1; }
# Wine's Tahoma, GTK's desktop font on Windows, does not render through
# Pango's Windows backend.
wine_reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Tahoma /d "DejaVu Sans" /f
# The user's AppData folder gets an umlaut, as under many a German user name.
wine_reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' \
  /v AppData /t REG_EXPAND_SZ /d 'C:\users\Jürgen\AppData\Roaming' /f
app_data="$WINEPREFIX/drive_c/users/Jürgen/AppData/Roaming"
mkdir -p "$app_data"

expected_title="Zielwerk V$version - [Default.ini]"

# --- the zip ----------------------------------------------------------------------
echo "== The zip, unpacked into a folder with an umlaut"
unpacked=$work/Übungsordner
python3 -m zipfile -e "$zip_file" "$unpacked"
folder=$unpacked/$name
(cd "$folder" && exec "$wine64" zielwerk.exe >"$work/zip-program.log" 2>&1) &
program_pid=$!
if window=$(wait_window); then
  sleep 2  # the first frame
  title=$(xdotool getwindowname "$window")
  check "zip: window \"$title\" with the zip's DLLs alone" [ "$title" = "$expected_title" ]
  mkdir -p "$screenshots"
  import -window root -display "$DISPLAY" "$screenshots/zielwerk-zip.png"
  echo "   screenshot: $screenshots/zielwerk-zip.png"
  close_program
else
  fail "zip: no window within 30 s (a DLL missing from the zip?): $(head -c 600 "$work/zip-program.log")"
fi
wait_status "$program_pid"
check "zip: exit status $status after the close request" [ "$status" = 0 ]
check "zip: Zielstell.ini written in the unpacked folder" [ -s "$folder/Zielstell.ini" ]

# The picture maker from the zip as typed at a prompt (its .com), with the
# zip's DLLs alone: the standard pictures and a photo in each format it must
# read, in one run, into a folder whose name has blanks and an umlaut.
photos=$work/Fotos
pictures_out="$work/Zugbilder für Jürgen"
mkdir -p "$photos" "$pictures_out"
for format in jpg png gif bmp tif; do
  convert "$root/tests/data/picture/photo.jpg" "$photos/foto_$format.$format"
done
to_windows() { printf 'Z:%s' "${1//\//\\}"; }
bildwandler_status=0
(cd "$folder" && "$wine64" zielwerk-bildwandler.com wagen_BERNINA_EXPRESS.bmp wagen_GLACIER_EXPRESS.bmp \
  wagen_REGIO_EXPRESS.bmp "$(to_windows "$photos")\\foto_*.*" -o "$(to_windows "$pictures_out")") \
  >"$work/bildwandler.log" 2>&1 || bildwandler_status=$?
converted() {
  local name
  for name in wagen_BERNINA_EXPRESS wagen_GLACIER_EXPRESS wagen_REGIO_EXPRESS foto_jpg foto_png foto_gif \
              foto_bmp foto_tif; do
    [ "$(stat -c %s "$pictures_out/$name.bmp" 2>/dev/null)" = 6774 ] ||
      { echo "   $name.bmp missing: $(head -c 600 "$work/bildwandler.log")" >&2; return 1; }
  done
  [ "$bildwandler_status" = 0 ] && [ "$(grep -c '^Gespeichert: ' "$work/bildwandler.log")" = 8 ]
}
check "zip: the picture maker converts the standard pictures and a JPEG, PNG, GIF, BMP and TIFF photo (status $bildwandler_status)" \
  converted

# --- the installer -------------------------------------------------------------------
echo "== The installer, silent"
program_files=$WINEPREFIX/drive_c/Program\ Files/Zielwerk
start_menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Zielwerk.lnk
start_menu_bildwandler=$(dirname "$start_menu")/Zielwerk\ Bildwandler.lnk
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zielwerk'
setup_status=0
"$wine64" "$setup_file" /S >/dev/null 2>&1 || setup_status=$?
# The installed tree is the zip's program files plus the launcher and Daten\,
# without the data files at the top.
installed_as_zip() {
  [ "$setup_status" = 0 ] || { echo "   the installer ended with status $setup_status" >&2; return 1; }
  diff <(cd "$folder" && find . -type f ! -regex '\./[^/]*\.ini' ! -name 'wagen_*' ! -path './Icons/*' | sort) \
       <(cd "$program_files" && find . -type f ! -name zielwerk-launcher.exe ! -name uninstall.exe \
                                       ! -path './Daten/*' | sort) >"$work/installed.diff" ||
    { head -5 "$work/installed.diff" >&2; return 1; }
    [ -f "$program_files/zielwerk-launcher.exe" ] && [ -f "$program_files/uninstall.exe" ] &&
    diff -r "$root/data" "$program_files/Daten" -x '*.png' >/dev/null
}
check "installer: program, DLLs, launcher and Daten\\ under Program Files (status $setup_status)" installed_as_zip
check "installer: Start-menu entry Zielwerk.lnk" [ -s "$start_menu" ]
check "installer: Start-menu entry Zielwerk Bildwandler.lnk" [ -s "$start_menu_bildwandler" ]
uninstall_entry() {
  local entry
  entry=$("$wine64" reg query "$uninstall_key" 2>/dev/null | tr -d '\r')
  grep -q "DisplayName.*Zielwerk$" <<<"$entry" && grep -q "DisplayVersion.*$version$" <<<"$entry" &&
    grep -q 'QuietUninstallString.*uninstall.exe" /S$' <<<"$entry"
}
check "installer: uninstall entry in the registry" uninstall_entry

echo "== The launcher"
work_folder=$app_data/Zielwerk
mkdir -p "$work_folder"
printf 'mein eigenes Bild' >"$work_folder/wagen_REGIO_EXPRESS.bmp"
# The stand-in makes a file in the folder it was started in, as its arguments
# tell it.
set +e
ZIELWERK_PROGRAM='C:\windows\system32\cmd.exe' \
  "$wine64" 'C:\Program Files\Zielwerk\zielwerk-launcher.exe' /c echo gestartet '>' Startordner.txt </dev/null >/dev/null 2>&1
launcher_status=$?
set -e
filled() {
  local f
  while read -r f; do
    [ "$f" = ./wagen_REGIO_EXPRESS.bmp ] && continue
    cmp -s "$program_files/Daten/$f" "$work_folder/$f" || { echo "   differs or missing: $f" >&2; return 1; }
  done < <(cd "$program_files/Daten" && find . -type f)
  # Nothing else (no half-copied file) beside them.
  [ "$(cd "$work_folder" && find . -type f ! -name Startordner.txt | wc -l)" = \
    "$(cd "$program_files/Daten" && find . -type f | wc -l)" ]
}
check "launcher: %APPDATA%\\Zielwerk filled with the data files" filled
check "launcher: the user's changed file kept byte for byte" \
  [ "$(cat "$work_folder/wagen_REGIO_EXPRESS.bmp")" = 'mein eigenes Bild' ]
check "launcher: program started in %APPDATA%\\Zielwerk with its arguments (status $launcher_status)" \
  [ -f "$work_folder/Startordner.txt" -a "$launcher_status" = 0 ]

# The real program, from the Start-menu entry.
rm -f "$work_folder/Startordner.txt"
if [ -f "$start_menu" ] && "$wine64" start /unix "$start_menu" >/dev/null 2>&1 && window=$(wait_window); then
  check "Start menu: window \"$(xdotool getwindowname "$window")\"" \
    [ "$(xdotool getwindowname "$window")" = "$expected_title" ]
  close_program
else
  fail "Start menu: no window within 30 s"
fi
for _ in $(seq 300); do
  [ -s "$work_folder/Zielstell.ini" ] && break
  sleep 0.1
done
check "Start menu: Zielstell.ini written in %APPDATA%\\Zielwerk" [ -s "$work_folder/Zielstell.ini" ]
# Let the program end before its folder goes.
for _ in $(seq 100); do
  xdotool search --name '^Zielwerk V' >/dev/null 2>&1 || break
  sleep 0.1
done

# --bildwandler: the picture maker in the same working folder, with the
# arguments after it; from the Start menu, its window.
set +e
"$wine64" 'C:\Program Files\Zielwerk\zielwerk-launcher.exe' --bildwandler wagen_GLACIER_EXPRESS.bmp \
  -o umgewandelt.bmp </dev/null >/dev/null 2>&1
launcher_status=$?
set -e
check "launcher --bildwandler: the picture maker converts in %APPDATA%\\Zielwerk (status $launcher_status)" \
  [ "$(stat -c %s "$work_folder/umgewandelt.bmp" 2>/dev/null)" = 6774 -a "$launcher_status" = 0 ]
if [ -f "$start_menu_bildwandler" ] && "$wine64" start /unix "$start_menu_bildwandler" >/dev/null 2>&1 &&
   window=$(wait_window '^Zielwerk Bildwandler$'); then
  check "Start menu: window \"$(xdotool getwindowname "$window")\"" \
    [ "$(xdotool getwindowname "$window")" = "Zielwerk Bildwandler" ]
  close_program zielwerk-bildwandler.exe
else
  fail "Start menu: no picture maker window within 30 s"
fi
for _ in $(seq 100); do
  xdotool search --name 'Bildwandler$' >/dev/null 2>&1 || break
  sleep 0.1
done

echo "== The uninstaller, silent"
find "$work_folder" -type f -exec md5sum {} + | sort >"$work/work-folder.before"
# It copies itself to the temporary folder and does its work from there, so
# the first process returns at once.
"$wine64" 'C:\Program Files\Zielwerk\uninstall.exe' /S >/dev/null 2>&1 || true
for _ in $(seq 300); do
  [ -e "$program_files" ] || break
  sleep 0.1
done
removed() {
  [ ! -e "$program_files" ] && [ ! -e "$start_menu" ] && [ ! -e "$start_menu_bildwandler" ] &&
    ! "$wine64" reg query "$uninstall_key" >/dev/null 2>&1
}
check "uninstaller: program folder, Start-menu entries and registry entry removed" removed
check "uninstaller: %APPDATA%\\Zielwerk left as it was" \
  cmp -s "$work/work-folder.before" <(find "$work_folder" -type f -exec md5sum {} + | sort)

echo
echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
