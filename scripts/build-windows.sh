#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows package of Zielwerk on Debian 12 and leaves in dist/:
#   zielwerk-<version>-win64.zip    one folder zielwerk-<version>-win64/ to unpack
#                                   anywhere and start zielwerk.exe or
#                                   zielwerk-bildwandler.exe from (it is also
#                                   the working folder);
#   zielwerk-<version>-setup.exe    installer: Program Files or the user's own
#                                   programs folder, Start-menu entries for
#                                   both, uninstaller; the programs then work
#                                   in %APPDATA%\Zielwerk;
#   zielwerk-<version>-win64-quellen.zip
#                                   Zielwerk's own source as a tarball and the
#                                   sources of the bundled libraries: the
#                                   upstream tarballs, the patches and the
#                                   scripts that build them, with the list that
#                                   the packages carry as Lizenzen\Quellen.txt.
# Steps: the Debian packages the Windows build needs, the cross-built GTK stack
# (reused when it exists), zielwerk.exe, zielwerk-bildwandler.exe and its
# console twin zielwerk-bildwandler.com (Release, stripped) in build-win/ (the
# folder scripts/windows/test-windows.sh tests: the package holds the programs
# the suites ran against), the staged folders in build-win/stage/ (made afresh
# on every run), the zip, the installer, the sources.
#
# Usage: scripts/build-windows.sh
# Environment: ZIELWERK_MINGW_PREFIX  a finished GTK stack to use (then the
#                                     stack script is not run at all)
#              ZIELWERK_JOBS          build jobs (default: the number of cores)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
started=$(date +%s)
jobs=${ZIELWERK_JOBS:-$(nproc)}
host=x86_64-w64-mingw32
build=$root/build-win
stage=$build/stage
dist=$root/dist

echo "== Build tools"
scripts/windows/install-deps.sh

if [ -n "${ZIELWERK_MINGW_PREFIX:-}" ]; then
  prefix=$ZIELWERK_MINGW_PREFIX
else
  echo "== GTK stack"
  scripts/windows/build-stack.sh
  prefix=$(scripts/windows/build-stack.sh --print-prefix)
fi
[ -f "$prefix/lib/pkgconfig/gtkmm-3.0.pc" ] || { echo "ERROR: no finished GTK stack in $prefix" >&2; exit 1; }

# -O2 rather than CMake's -O3: GCC 12 at -O3 warns falsely about std::string
# copies in the suites built here too.
release_flags=(-DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG")
echo "== zielwerk.exe, zielwerk-bildwandler.exe and .com, zielwerk-senden.exe in $build"
cmake --no-warn-unused-cli -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DZIELWERK_MINGW_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release "${release_flags[@]}" >/dev/null
cmake --build "$build" -j"$jobs" --target zielwerk zielwerk-bildwandler zielwerk-bildwandler-console zielwerk-senden
version=$(sed -n 's/^version=//p' "$build/package.env")
app_id=$(sed -n 's/^app_id=//p' "$build/package.env")
picture_maker_id=$(sed -n 's/^picture_maker_id=//p' "$build/package.env")
copyright_years=$(sed -n 's/^copyright_years=//p' "$build/package.env")
copyright_holder=$(sed -n 's/^copyright_holder=//p' "$build/package.env")
name=zielwerk-$version-win64
zip_file=$dist/$name.zip
setup_file=$dist/zielwerk-$version-setup.exe
sources_name=$name-quellen
sources_file=$dist/$sources_name.zip

echo "== Staging in $stage"
rm -rf "$stage"
common=$stage/common
mkdir -p "$common"
for program in zielwerk.exe zielwerk-bildwandler.exe zielwerk-bildwandler.com zielwerk-senden.exe; do
  $host-strip -o "$common/$program" "$build/$program"
  scripts/windows/collect-dlls.sh "$common/$program" "$prefix" "$common"
done
dll_count=$(find "$common" -maxdepth 1 -iname '*.dll' | wc -l)

# A text file for Windows: UTF-8 with a byte-order mark (Notepad of Windows 7
# reads UTF-8 only with it) and CR LF line ends.
windows_text() {
  { printf '\357\273\277'; sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$1"; } >"$2"
}
windows_text packaging/windows/LIESMICH.txt "$common/LIESMICH.txt"
# The German manual, where the help command looks first: hilfe\ beside
# zielwerk.exe.
cp -r docs/hilfe "$common/hilfe"

# Licence texts: Zielwerk's own in Lizenzen\Zielwerk\ (the installer shows it
# on its licence page), Lizenzen\<library>-<version>\ for every library of the
# stack (the top-level COPYING*, LICENSE*, LICENCE* and COPYRIGHT* of its
# source tarball), the icon theme, zlib and the compiler runtime linked into
# the program.
licences=$common/Lizenzen
mkdir -p "$licences/Zielwerk"
cp LICENSE "$licences/Zielwerk/LICENSE.txt"
sources=$(dirname "$prefix")/sources
while IFS= read -r line; do
  [[ $line =~ ^(.+)\ ([^ ]+)\ \(Debian\ [^,]+,\ ([^ ]+)\ sha256: ]] || continue
  library=${BASH_REMATCH[1]%% (*} library_version=${BASH_REMATCH[2]} tarball=${BASH_REMATCH[3]}
  folder=$licences/${library//\//-}-$library_version
  case $tarball in
    *.deb)
      theme=$prefix/share/licenses/${library%% *}
      [ -d "$theme" ] || { echo "ERROR: no licence of $library in $theme" >&2; exit 1; }
      mkdir -p "$folder"
      cp "$theme"/* "$folder/"
      continue
      ;;
  esac
  [ -f "$sources/$tarball" ] || { echo "ERROR: source tarball $sources/$tarball is missing" >&2; exit 1; }
  patterns=('*/COPYING*' '*/LICENSE*' '*/LICENCE*' '*/COPYRIGHT*')
  case $library in
    # The top-level COPYING of gettext is the GPL of its tools; the library
    # linked here, libintl, is under the LGPL of its own folder.
    gettext-runtime/intl) patterns=('*/gettext-runtime/intl/COPYING.LIB') ;;
    # libjpeg-turbo's LICENSE.md refers to the IJG licence in README.ijg.
    libjpeg-turbo) patterns+=('*/README.ijg') ;;
  esac
  mkdir -p "$folder"
  tar -xf "$sources/$tarball" -C "$folder" --strip-components=1 --wildcards --no-wildcards-match-slash \
    "${patterns[@]}" 2>/dev/null || true
  find "$folder" -mindepth 1 -type d -empty -delete
  if [ "$library" = gettext-runtime/intl ]; then
    mv "$folder/gettext-runtime/intl/COPYING.LIB" "$folder/" && rm -rf "$folder/gettext-runtime"
  fi
  [ -n "$(ls -A "$folder")" ] || { echo "ERROR: no licence text in $tarball" >&2; exit 1; }
done <"$prefix/PACKAGES.txt"
copy_licence() {
  [ -f "$2" ] || { echo "ERROR: licence $2 is missing" >&2; exit 1; }
  mkdir -p "$licences/$1"
  cp "$2" "$licences/$1/copyright"
}
copy_licence zlib "$(find /usr/share/doc -maxdepth 2 -path '*/libz-mingw-w64*/copyright' | LC_ALL=C sort | head -1)"
copy_licence mingw-w64-runtime /usr/share/doc/mingw-w64-x86-64-dev/copyright
copy_licence gcc-runtime /usr/share/doc/gcc-mingw-w64-base/copyright
# Some tarballs link a licence file to another one (glib's COPYING): a copy
# of the text takes the link's place, as Windows has no such links.
while IFS= read -r link; do
  target=$(readlink -f "$link")
  [ -f "$target" ] || { echo "ERROR: $link points to a licence text that was not extracted" >&2; exit 1; }
  cp --remove-destination "$target" "$link"
done < <(find "$licences" -type l)
# Plain-text files with Windows line ends, so Notepad shows them whole.
find "$licences" -type f -exec sed -i 's/\r\?$/\r/' {} +

# The exact sources of what the packages bring, for the LGPL and its kin: a
# list in the packages (Lizenzen\Quellen.txt) and beside them a zip with every
# tarball and patch it names and the scripts that build the stack from them.
# Both come from this checkout's recipe, which is the stack's when the key
# matches.
stack_key=$(scripts/windows/build-stack.sh --print-key)
if [ "$(basename "$prefix")" != "$stack_key" ]; then
  echo "WARNING: the stack in $prefix was not built from this checkout's recipe (key $stack_key);" \
       "the source list describes the recipe" >&2
fi
# Zielwerk's own source goes with them, for its own licence: the files of
# this checkout as they were built (with their changes, if any; outside a
# Git checkout everything but the build and package folders), in a tarball
# that comes out the same for the same files.
own_source=zielwerk-$version.tar.xz
sources_tree=$stage/quellen/$sources_name
mkdir -p "$sources_tree/scripts/windows/stack"
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git -C "$root" ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' path; do if [ -e "$path" ]; then printf '%s\0' "$path"; fi; done
else
  find . \( -path ./.git -o -path './build*' -o -path ./dist -o -path ./run \) -prune -o \
    \( -type f -o -type l \) -printf '%P\0'
fi | LC_ALL=C tar --null --files-from=- --sort=name --owner=0 --group=0 --numeric-owner \
       --mtime=@0 --transform="s,^,zielwerk-$version/,S" -cf - | xz -9 >"$sources_tree/$own_source"
source_list=$stage/Quellen.txt
(
  # shellcheck source=scripts/windows/stack/recipe.sh
  . scripts/windows/stack/recipe.sh
  cat <<LIST
Quellen
=======

Zielwerk selbst ist freie Software unter der GNU General Public License,
Version 3 oder später. Sein Quellcode liegt in
$sources_name.zip, das mit diesem Paket veröffentlicht wird:

LIST
  printf '%-20s %-10s %-45s %s\n' Paket Version Datei SHA-256
  printf '%-20s %-10s %-45s %s\n' Zielwerk "$version" "$own_source" \
    "$(sha256sum "$sources_tree/$own_source" | cut -d' ' -f1)"
  cat <<LIST

Mitgelieferte Bibliotheken
--------------------------

Zielwerk @VERSION@ für Windows bringt freie Bibliotheken mit. Sie sind aus den
Original-Quellarchiven der Debian-Quellpakete gebaut, mit den Änderungen der
aufgeführten Patches. Die Archive, die Patches und die Skripte, die daraus
die Bibliotheken bauen (scripts/windows/build-stack.sh auf Debian 12), liegen
in $sources_name.zip, das mit diesem Paket veröffentlicht wird.

LIST
  printf '%-20s %-10s %-45s %s\n' Paket Version Datei SHA-256
  for entry in "${packages[@]}"; do
    id=$(field "$entry" 0) package=$(field "$entry" 3) package_version=$(field "$entry" 2)
    printf '%-20s %-10s %-45s %s\n' "$package" "$package_version" "$(field "$entry" 5)" "$(field "$entry" 6)"
    patch=scripts/windows/stack/$id.patch
    if [ -f "$patch" ]; then
      printf '%-20s %-10s %-45s %s\n' "$package" "$package_version" "$patch" "$(sha256sum "$patch" | cut -d' ' -f1)"
    fi
  done
  cat <<LIST

Unverändert aus Debian 12 übernommen: zlib aus dem Paket libz-mingw-w64
$(dpkg-query -W -f='${Version}' libz-mingw-w64 2>/dev/null), die Laufzeit von GCC und MinGW-w64 aus den Paketen
gcc-mingw-w64-x86-64-posix $(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix 2>/dev/null) und mingw-w64-x86-64-dev $(dpkg-query -W -f='${Version}' mingw-w64-x86-64-dev 2>/dev/null).
LIST
) >"$source_list"
windows_text "$source_list" "$licences/Quellen.txt"

cp "$licences/Quellen.txt" "$sources_tree/"
cp scripts/install-deps.sh "$sources_tree/scripts/"
cp scripts/windows/build-stack.sh scripts/windows/install-deps.sh "$sources_tree/scripts/windows/"
cp scripts/windows/stack/* "$sources_tree/scripts/windows/stack/"
while read -r _ _ file sha; do
  [[ $sha =~ ^[0-9a-f]{64}$ ]] || continue
  [ -f "$sources_tree/$file" ] && continue
  [ -f "$sources/$file" ] || { echo "ERROR: source tarball $sources/$file is missing" >&2; exit 1; }
  [ "$(sha256sum "$sources/$file" | cut -d' ' -f1)" = "$sha" ] ||
    { echo "ERROR: $sources/$file does not have the SHA-256 of the recipe" >&2; exit 1; }
  # zip stores what a link points to.
  ln -s "$sources/$file" "$sources_tree/$file"
done <"$source_list"

# The zip: the program runs in its own folder, so the data files lie beside it.
zip_tree=$stage/zip/$name
mkdir -p "$zip_tree/Icons"
cp -a "$common/." "$zip_tree/"
cp data/wagen_*.bmp "$zip_tree/"
cp data/Icons/*.ico "$zip_tree/Icons/"

# The installer: the program copies Daten\ into the user's working folder.
setup_tree=$stage/setup
mkdir -p "$setup_tree/Daten/Icons"
cp -a "$common/." "$setup_tree/"
cp data/wagen_*.bmp "$setup_tree/Daten/"
cp data/Icons/*.ico "$setup_tree/Daten/Icons/"
size_kb=$(du -sk "$setup_tree" | cut -f1)

echo "== $zip_file"
mkdir -p "$dist"
rm -f "$zip_file" "$setup_file" "$sources_file"
(cd "$stage/zip" && zip -q -r -X -9 "$zip_file" "$name")

echo "== $setup_file"
scripts/windows/make-installer.sh "$setup_tree" "$setup_file" "$version" "$app_id" "$picture_maker_id" \
  "$copyright_years" "$copyright_holder"

echo "== $sources_file"
# The tarballs are compressed already.
(cd "$stage/quellen" && zip -q -r -X -0 "$sources_file" "$sources_name")

elapsed=$(( $(date +%s) - started ))
echo
printf 'DLLs:       %d\n' "$dll_count"
printf 'Zip:        %s (%s)\n' "$zip_file" "$(du -h "$zip_file" | cut -f1)"
printf 'Installer:  %s (%s)\n' "$setup_file" "$(du -h "$setup_file" | cut -f1)"
printf 'Sources:    %s (%s)\n' "$sources_file" "$(du -h "$sources_file" | cut -f1)"
printf 'Installed:  %d MB\n' $(( (size_kb + 512) / 1024 ))
printf 'Time:       %d min %d s\n' $((elapsed / 60)) $((elapsed % 60))
