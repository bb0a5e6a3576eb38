#!/usr/bin/env bash
# Builds the Windows package of Zielwerk on Debian 12 and leaves in dist/:
#   zielwerk-<version>-win64.zip    one folder zielwerk-<version>-win64/ to unpack
#                                   anywhere and start zielwerk.exe from (it is
#                                   also the working folder);
#   zielwerk-<version>-setup.exe    installer: Program Files, Start-menu entry,
#                                   uninstaller; the program then works in
#                                   %APPDATA%\Zielwerk, set up by the launcher.
# Steps: the Debian packages the Windows build needs, the cross-built GTK stack
# (reused when it exists), zielwerk.exe and zielwerk-launcher.exe (Release,
# stripped) in build-win/ (the folder scripts/windows/test-windows.sh tests:
# the package holds the program the suites ran against), the staged folders in
# build-win/stage/ (made afresh on every run), the zip, the installer.
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
version=$(sed -n 's/^project(zielwerk VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "ERROR: no version in CMakeLists.txt" >&2; exit 1; }
build=$root/build-win
stage=$build/stage
dist=$root/dist
name=zielwerk-$version-win64
zip_file=$dist/$name.zip
setup_file=$dist/zielwerk-$version-setup.exe

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
echo "== zielwerk.exe and zielwerk-launcher.exe in $build"
cmake --no-warn-unused-cli -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DZIELWERK_MINGW_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release "${release_flags[@]}" >/dev/null
cmake --build "$build" -j"$jobs" --target zielwerk zielwerk-launcher

echo "== Staging in $stage"
rm -rf "$stage"
common=$stage/common
mkdir -p "$common"
$host-strip -o "$common/zielwerk.exe" "$build/zielwerk.exe"
scripts/windows/collect-dlls.sh "$common/zielwerk.exe" "$prefix" "$common"
dll_count=$(find "$common" -maxdepth 1 -iname '*.dll' | wc -l)

# A text file for Windows: UTF-8 with a byte-order mark (Notepad of Windows 7
# reads UTF-8 only with it) and CR LF line ends.
windows_text() {
  { printf '\357\273\277'; sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$1"; } >"$2"
}
windows_text packaging/windows/LIESMICH.txt "$common/LIESMICH.txt"

# Licence texts: Lizenzen\<library>-<version>\ for every library of the stack
# (the top-level COPYING*, LICENSE*, LICENCE* and COPYRIGHT* of its source
# tarball), the icon theme, zlib and the compiler runtime linked into the program.
licences=$common/Lizenzen
mkdir -p "$licences"
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

# The zip: the program runs in its own folder, so the data files lie beside it.
zip_tree=$stage/zip/$name
mkdir -p "$zip_tree/Icons"
cp -a "$common/." "$zip_tree/"
cp data/wagen_*.bmp "$zip_tree/"
cp data/Icons/*.ico "$zip_tree/Icons/"

# The installer: the launcher copies Daten\ into the user's working folder.
setup_tree=$stage/setup
mkdir -p "$setup_tree/Daten/Icons"
cp -a "$common/." "$setup_tree/"
$host-strip -o "$setup_tree/zielwerk-launcher.exe" "$build/zielwerk-launcher.exe"
cp data/wagen_*.bmp "$setup_tree/Daten/"
cp data/Icons/*.ico "$setup_tree/Daten/Icons/"

# What the uninstaller removes: every installed file, then every folder,
# deepest first. NSIS wants backslashes.
uninstall_list=$stage/uninstall-list.nsh
# shellcheck disable=SC2016 # $INSTDIR is NSIS's, not the shell's
{
  (cd "$setup_tree" && find . -type f | LC_ALL=C sort) | sed -e 's|^\./||' -e 's|/|\\|g' -e 's|.*|Delete "$INSTDIR\\&"|'
  (cd "$setup_tree" && find . -mindepth 1 -type d | LC_ALL=C sort -r) | sed -e 's|^\./||' -e 's|/|\\|g' -e 's|.*|RMDir "$INSTDIR\\&"|'
} >"$uninstall_list"
size_kb=$(du -sk "$setup_tree" | cut -f1)

echo "== $zip_file"
mkdir -p "$dist"
rm -f "$zip_file" "$setup_file"
(cd "$stage/zip" && zip -q -r -X -9 "$zip_file" "$name")

echo "== $setup_file"
makensis -V2 -DVERSION="$version" -DSTAGE="$setup_tree" -DUNINSTALL_LIST="$uninstall_list" \
  -DSIZE_KB="$size_kb" -DICON="$root/packaging/icons/de.zielwerk.Zielwerk.ico" -DOUTFILE="$setup_file" \
  packaging/windows/zielwerk.nsi

elapsed=$(( $(date +%s) - started ))
echo
printf 'DLLs:       %d\n' "$dll_count"
printf 'Zip:        %s (%s)\n' "$zip_file" "$(du -h "$zip_file" | cut -f1)"
printf 'Installer:  %s (%s)\n' "$setup_file" "$(du -h "$setup_file" | cut -f1)"
printf 'Installed:  %d MB\n' $(( (size_kb + 512) / 1024 ))
printf 'Time:       %d min %d s\n' $((elapsed / 60)) $((elapsed % 60))
