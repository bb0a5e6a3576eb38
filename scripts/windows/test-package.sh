#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Tests the Windows package of dist/ under Wine, headless, the way a user gets it:
#   1. the zip unpacked into a folder with an umlaut in its path: zielwerk.exe
#      starts from there with nothing but the zip's DLLs, shows its window, ends
#      with status 0 on a close request and writes Zielstell.ini there; the
#      manual and Zielwerk's licence are there; the picture maker's .com
#      converts the standard pictures and a photo in each format it must read
#      in one run;
#   2. the sources zip holds every file Lizenzen\Quellen.txt names, with its
#      SHA-256, Zielwerk's own source tree among them;
#   3. an update: a previous version (the same package with a three-part
#      version and one file more) installed silently into a folder of the
#      user's choice; its zielwerk.exe started there directly fills the
#      working folder %APPDATA%\Zielwerk (keeping a file the user changed),
#      shows the toolbar's icons and hands its window's application ID to the
#      shell; the new installer, run while it is open, has it close (its
#      settings written under %APPDATA%\Zielwerk), installs into the same
#      folder and removes the file the new version no longer has (a picture
#      maker open meanwhile is closed too); the program and the picture maker
#      start from their Start-menu entries; the version resources;
#   4. the silent uninstaller removes what was installed and leaves the
#      working folder alone;
#   5. an installation for the current user alone: no administrator rights
#      asked, %LOCALAPPDATA%\Programs\Zielwerk, nothing written for all users,
#      and its uninstaller removes it whole.
# Wine gets a private prefix under /tmp (whose AppData folder has an umlaut in
# its path) and a private Xvfb; the stack's DLLs are not on its path. The last
# line reads "package: N passed, M failed".
#
# Usage: scripts/windows/test-package.sh [--no-build]
#   Without --no-build, scripts/build-windows.sh makes dist/ first.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
build=$root/build-win
screenshots=$build/screenshots

if [ "${1:-}" != --no-build ]; then
  scripts/build-windows.sh
fi
version=$(sed -n 's/^version=//p' "$build/package.env")
app_id=$(sed -n 's/^app_id=//p' "$build/package.env")
picture_maker_id=$(sed -n 's/^picture_maker_id=//p' "$build/package.env")
copyright_years=$(sed -n 's/^copyright_years=//p' "$build/package.env")
copyright_holder=$(sed -n 's/^copyright_holder=//p' "$build/package.env")
name=zielwerk-$version-win64
zip_file=$root/dist/$name.zip
setup_file=$root/dist/zielwerk-$version-setup.exe
sources_file=$root/dist/$name-quellen.zip
for f in "$zip_file" "$setup_file" "$sources_file"; do
  [ -f "$f" ] || { echo "ERROR: $f is missing (run scripts/build-windows.sh)" >&2; exit 1; }
done
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
for tool in "$wine64" wineserver Xvfb xdotool import python3; do
  command -v "$tool" >/dev/null || { echo "ERROR: $tool is missing" >&2; exit 1; }
done

# shellcheck source=tests/support/pass_fail.sh
. "$root/tests/support/pass_fail.sh"

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
unset WINEPATH
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
work_folder=$app_data/Zielwerk
wine_user=$WINEPREFIX/drive_c/users/$(id -un)
user_programs=$wine_user/AppData/Local/Programs
program_files=$WINEPREFIX/drive_c/Program\ Files
all_users_menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs
user_menu=$wine_user/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Zielwerk'

expected_title="Zielwerk V$version - [Default.ini]"

# The uninstall entry of $1 (HKLM or HKCU), one "name value" line each; empty
# when there is none.
uninstall_entry() { "$wine64" reg query "$1\\$uninstall_key" 2>/dev/null | tr -d '\r' | sed -n 's/^ *\([A-Za-z]*\) *REG_[A-Z_]* *\(.*\)/\1 \2/p'; }
# The four-part file version in the version resource of a program file.
file_version() {
  python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))
ms, ls = struct.unpack_from("<II", data, at + 8) if at >= 0 else (0, 0)
print(f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}")
EOF
}
four_parts() { local a b c d; IFS=. read -r a b c d _ <<<"$1.0.0.0"; echo "$a.$b.$c.$d"; }
# The program's files as the zip has them, without the working-folder files.
program_files_of() {
  (cd "$1" && find . -type f ! -regex '\./[^/]*\.ini' ! -name 'wagen_*' ! -path './Icons/*' \
               ! -path './Daten/*' ! -name uninstall.exe | LC_ALL=C sort)
}
# Runs the uninstaller in Windows folder $1 silently and waits up to 30 s for
# the folder ($2 on this side) to go: it copies itself to the temporary folder
# and does its work from there, so the first process returns at once.
uninstall_from() {
  "$wine64" "$1\\uninstall.exe" /S >/dev/null 2>&1 || true
  for _ in $(seq 300); do
    [ -e "$2" ] || return 0
    sleep 0.1
  done
}
# Waits until no program window is left.
wait_no_window() {
  for _ in $(seq 300); do
    xdotool search --name '^Zielwerk V' >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

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
  fail "zip: no window within 60 s (a DLL missing from the zip?): $(head -c 600 "$work/zip-program.log")"
fi
wait_status "$program_pid"
check "zip: exit status $status after the close request" [ "$status" = 0 ]
check "zip: Zielstell.ini written in the unpacked folder" [ -s "$folder/Zielstell.ini" ]
zip_manual_and_licence() {
  diff -r "$root/docs/hilfe" "$folder/hilfe" >&2 &&
    sed 's/$/\r/' "$root/LICENSE" | cmp - "$folder/Lizenzen/Zielwerk/LICENSE.txt" >&2
}
check "zip: the manual in hilfe\\, Zielwerk's licence in Lizenzen\\Zielwerk\\LICENSE.txt with CR LF" \
  zip_manual_and_licence

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
  # The standard pictures become the same dots as on Linux, byte for byte.
  for name in wagen_BERNINA_EXPRESS wagen_GLACIER_EXPRESS wagen_REGIO_EXPRESS; do
    cmp "$root/tests/data/e2e/${name}_converted.bmp" "$pictures_out/$name.bmp" >&2 || return 1
  done
  [ "$bildwandler_status" = 0 ] && [ "$(grep -c '^Gespeichert: ' "$work/bildwandler.log")" = 8 ]
}
check "zip: the picture maker converts the standard pictures and a JPEG, PNG, GIF, BMP and TIFF photo (status $bildwandler_status)" \
  converted

# The sender from the zip as typed at a prompt: its usage, and a port that
# is not there refused with the window's words and status 1.
sender_usage() {
  local status=0
  (cd "$folder" && "$wine64" zielwerk-senden.exe --help) >"$work/sender-help.log" 2>&1 || status=$?
  [ "$status" = 0 ] && [ "$(head -n 1 "$work/sender-help.log" | tr -d '\r')" = \
    "Aufruf: zielwerk-senden [-p PORT] [--nur LISTE] [--wagennummer N] [DATEI]" ]
}
check "zip: zielwerk-senden.exe --help prints the usage" sender_usage
sender_refuses_missing_port() {
  local status=0
  printf '' >"$work/leer.ini"
  (cd "$folder" && "$wine64" zielwerk-senden.exe -p COM99 "$(to_windows "$work/leer.ini")") \
    >"$work/sender.log" 2>&1 || status=$?
  if [ "$status" != 1 ] || [ "$(tr -d '\r' <"$work/sender.log")" != \
       "zielwerk-senden: Serielle Schnittstelle konnte nicht geöffnet werden: COM99 fehlt (Adapter eingesteckt?)" ]; then
    echo "   status $status: $(head -c 600 "$work/sender.log")" >&2
    return 1
  fi
}
check "zip: zielwerk-senden.exe refuses a missing port with the window's words and status 1" \
  sender_refuses_missing_port

echo "== The sources"
sources_complete() {
  python3 - "$folder/Lizenzen/Quellen.txt" "$sources_file" <<'EOF'
import hashlib, io, re, sys, tarfile, zipfile
listed = {}
for line in open(sys.argv[1], encoding="utf-8-sig"):
    fields = line.split()
    if len(fields) == 4 and re.fullmatch("[0-9a-f]{64}", fields[3]):
        listed[fields[2]] = fields[3]
archive = zipfile.ZipFile(sys.argv[2])
held = {name.split("/", 1)[1]: name for name in archive.namelist() if "/" in name}
bad = [f for f, sha in listed.items()
       if f not in held or hashlib.sha256(archive.read(held[f])).hexdigest() != sha]
# Zielwerk's own tarball holds the tree it is built from.
own = [f for f in listed if re.fullmatch(r"zielwerk-[0-9.]+\.tar\.xz", f)]
for f in own:
    if f in held and f not in bad:
        names = tarfile.open(fileobj=io.BytesIO(archive.read(held[f]))).getnames()
        top = f[:-len(".tar.xz")]
        if not {top + "/CMakeLists.txt", top + "/LICENSE", top + "/src/app/main.cc"} <= set(names):
            bad.append(f + " (not the source tree)")
if len(own) != 1:
    bad.append("Zielwerk's own source")
print(f"   {len(listed)} files listed", ("; missing or different: " + " ".join(bad)) if bad else "")
sys.exit(1 if bad or len(listed) < 20 else 0)
EOF
}
check "sources: Zielwerk's own source tree and every tarball and patch of Lizenzen\\Quellen.txt in $(basename "$sources_file") with its SHA-256" \
  sources_complete

# --- an update in a folder of the user's choice --------------------------------------
echo "== The previous version, installed silently into a folder of the user's choice"
previous_version=0.94.1
previous_stage=$work/previous-stage
cp -a "$build/stage/setup" "$previous_stage"
printf 'nicht mehr dabei' >"$previous_stage/zielwerk-launcher.exe"
# Without compression: made in 3 s instead of 40.
scripts/windows/make-installer.sh "$previous_stage" "$work/previous-setup.exe" "$previous_version" "$app_id" "$picture_maker_id" \
  "$copyright_years" "$copyright_holder" -X"SetCompressor /FINAL zlib" -X"SetCompress off" >/dev/null
custom='C:\Eigene Programme\Zielwerk'
custom_folder=$WINEPREFIX/drive_c/Eigene\ Programme/Zielwerk
# /D= takes the rest of the command line, unquoted; cmd passes it on as it is.
"$wine64" cmd /c "$(printf 'Z:%s' "${work//\//\\}")\\previous-setup.exe /S /D=$custom" >/dev/null 2>&1 || true
check "previous installer: version resource $(four_parts "$previous_version") of a three-part version" \
  [ "$(file_version "$work/previous-setup.exe")" = "$(four_parts "$previous_version")" ]
check "previous version installed in $custom" [ -f "$custom_folder/zielwerk-launcher.exe" ]

mkdir -p "$work_folder"
printf 'mein eigenes Bild' >"$work_folder/wagen_REGIO_EXPRESS.bmp"
echo "== Its zielwerk.exe started directly in the installed folder"
(cd "$custom_folder" && WINEDEBUG=-all,fixme+shell exec "$wine64" zielwerk.exe >"$work/installed-program.log" 2>&1) &
program_pid=$!
if window=$(wait_window); then
  sleep 2  # the first frame
  # The toolbar lies below the menu bar; without its icons there is none, and
  # the band shows a few colours of the form (18 against some 550).
  colours=$(import -window "$window" -display "$DISPLAY" -crop 530x24+0+26 +repage -format %k info:)
  import -window root -display "$DISPLAY" "$screenshots/zielwerk-installed.png"
  echo "   screenshot: $screenshots/zielwerk-installed.png"
  check "direct start: the toolbar shows its icons ($colours colours in its band)" [ "$colours" -gt 100 ]
else
  fail "direct start: no window within 60 s: $(head -c 600 "$work/installed-program.log")"
fi
filled() {
  local f
  while read -r f; do
    [ "$f" = ./wagen_REGIO_EXPRESS.bmp ] && continue
    cmp -s "$custom_folder/Daten/$f" "$work_folder/$f" || { echo "   differs or missing: $f" >&2; return 1; }
  done < <(cd "$custom_folder/Daten" && find . -type f)
  [ "$(cat "$work_folder/wagen_REGIO_EXPRESS.bmp")" = 'mein eigenes Bild' ]
}
check "direct start: %APPDATA%\\Zielwerk filled with the data files, the user's changed file kept" filled
# Wine keeps no window properties; what it shows is that the program hands
# the shell its window and the application ID, relaunch command, its name
# and icon (keys 5, 2, 4, 3 of System.AppUserModel).
window_properties() {  # window_properties <log>
  grep -q 'SHGetPropertyStoreForWindow (0*[1-9a-fA-F][0-9a-fA-F]* ' "$1" &&
    for key in 5 2 4 3; do
      grep -q "window_prop_store_SetValue .*{9f4c2855-9f79-4b39-a8d0-e1d42de1d5f3},$key}" "$1" || return 1
    done
}
check "direct start: the window's application ID and relaunch command handed to the shell" \
  window_properties "$work/installed-program.log"

# The previous version's picture maker, open beside it.
(cd "$custom_folder" &&
  WINEDEBUG=-all,fixme+shell exec "$wine64" zielwerk-bildwandler.exe >"$work/installed-bildwandler.log" 2>&1) &
picture_maker_pid=$!
if wait_window '^Zielwerk Bildwandler$' >/dev/null; then
  check "direct start: the picture maker's application ID and relaunch command handed to the shell" \
    window_properties "$work/installed-bildwandler.log"
else
  fail "direct start: no picture maker window within 60 s: $(head -c 600 "$work/installed-bildwandler.log")"
fi

echo "== The new installer, silently, while the previous version runs"
setup_status=0
"$wine64" "$setup_file" /S >/dev/null 2>&1 || setup_status=$?
wait_status "$program_pid"
check "update: the running program asked to close, ended with status $status" [ "$status" = 0 ]
wait_status "$picture_maker_pid"
check "update: the running picture maker asked to close, ended with status $status" [ "$status" = 0 ]
check "update: its settings written under %APPDATA%\\Zielwerk, none in the installed folder" \
  [ -s "$work_folder/Zielstell.ini" -a -s "$work_folder/Default.ini" -a ! -e "$custom_folder/Zielstell.ini" ]
updated() {
  [ "$setup_status" = 0 ] || { echo "   the installer ended with status $setup_status" >&2; return 1; }
  diff <(program_files_of "$folder") <(program_files_of "$custom_folder") >"$work/installed.diff" ||
    { head -5 "$work/installed.diff" >&2; return 1; }
  [ -f "$custom_folder/uninstall.exe" ] && diff -r "$root/data" "$custom_folder/Daten" -x '*.png' >/dev/null &&
    [ ! -e "$program_files/Zielwerk" ] && uninstall_entry HKLM | grep -qx "DisplayVersion $version"
}
check "update: the new version in $custom, not in Program Files (status $setup_status)" updated
check "update: the file the new version no longer has is gone" [ ! -e "$custom_folder/zielwerk-launcher.exe" ]
check "update: version resources $(four_parts "$version") of zielwerk.exe and the installer" \
  [ "$(file_version "$custom_folder/zielwerk.exe")" = "$(four_parts "$version")" -a \
    "$(file_version "$setup_file")" = "$(four_parts "$version")" ]

start_menu=$all_users_menu/Zielwerk.lnk
rm -f "$work_folder/Zielstell.ini"
if [ -f "$start_menu" ] && "$wine64" start /unix "$start_menu" >/dev/null 2>&1 && window=$(wait_window); then
  check "Start menu: window \"$(xdotool getwindowname "$window")\"" \
    [ "$(xdotool getwindowname "$window")" = "$expected_title" ]
  close_program
else
  fail "Start menu: no window within 60 s"
fi
for _ in $(seq 300); do
  [ -s "$work_folder/Zielstell.ini" ] && break
  sleep 0.1
done
check "Start menu: Zielstell.ini written in %APPDATA%\\Zielwerk" [ -s "$work_folder/Zielstell.ini" ]
wait_no_window || true
picture_maker_menu=$all_users_menu/Zielwerk\ Bildwandler.lnk
if [ -f "$picture_maker_menu" ] && "$wine64" start /unix "$picture_maker_menu" >/dev/null 2>&1 &&
   window=$(wait_window '^Zielwerk Bildwandler$'); then
  check "Start menu: window \"$(xdotool getwindowname "$window")\"" \
    [ "$(xdotool getwindowname "$window")" = "Zielwerk Bildwandler" ]
  close_program zielwerk-bildwandler.exe
else
  fail "Start menu: no picture maker window within 60 s"
fi
for _ in $(seq 100); do
  xdotool search --name 'Bildwandler$' >/dev/null 2>&1 || break
  sleep 0.1
done

echo "== The uninstaller, silent"
find "$work_folder" -type f -exec md5sum {} + | sort >"$work/work-folder.before"
uninstall_from "$custom" "$custom_folder"
check "uninstaller: program folder, Start-menu entries and uninstall entry removed" \
  [ ! -e "$custom_folder" -a ! -e "$start_menu" -a ! -e "$picture_maker_menu" -a -z "$(uninstall_entry HKLM)" ]
check "uninstaller: %APPDATA%\\Zielwerk left as it was" \
  cmp -s "$work/work-folder.before" <(find "$work_folder" -type f -exec md5sum {} + | sort)

# --- for the current user alone ------------------------------------------------------
echo "== For the current user alone"
setup_status=0
"$wine64" "$setup_file" /S /CurrentUser >/dev/null 2>&1 || setup_status=$?
own=$user_programs/Zielwerk
per_user() {
  [ "$setup_status" = 0 ] && [ -f "$own/zielwerk.exe" ] && [ -f "$own/Daten/wagen_BERNINA_EXPRESS.bmp" ] &&
    [ -s "$user_menu/Zielwerk.lnk" ] && [ -s "$user_menu/Zielwerk Bildwandler.lnk" ] && uninstall_entry HKCU | grep -q '^InstallLocation .*Local\\Programs\\Zielwerk$'
}
check "current user: %LOCALAPPDATA%\\Programs\\Zielwerk, the user's Start menu with both entries, the user's uninstall entry (status $setup_status)" \
  per_user
# "highestAvailable": administrators are asked, other users install for
# themselves without being asked.
check "current user: nothing for all users, and the installer asks for no administrator" \
  [ ! -e "$program_files/Zielwerk" -a ! -e "$start_menu" -a -z "$(uninstall_entry HKLM)" -a \
    "$(grep -ao 'requestedExecutionLevel level="[a-zA-Z]*"' "$setup_file")" = 'requestedExecutionLevel level="highestAvailable"' ]
uninstall_from "$(uninstall_entry HKCU | sed -n 's/^InstallLocation //p')" "$own"
check "current user: the uninstaller removes the folder, the Start-menu entry and the uninstall entry" \
  [ ! -e "$own" -a ! -e "$user_menu/Zielwerk.lnk" -a ! -e "$user_menu/Zielwerk Bildwandler.lnk" -a \
    -z "$(uninstall_entry HKCU)" ]

echo
report package
