#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck disable=SC2119
# The Debian package: built with cpack into a scratch folder, its content and
# control fields checked, then unpacked into a scratch root (never installed
# on this machine) and checked like an installed tree; lintian checks it as
# Debian would.
# Usage: deb_package_test.sh BUILD_DIR CPACK
set -u
build_dir=$1
cpack_command=${2:-cpack}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
. "$source_dir/tests/packaging/package_checks.sh"
version=$(sed -n 's/^version=//p' "$build_dir/package.env")

check
if ! (cd "$scratch" && "$cpack_command" --config "$build_dir/CPackConfig.cmake" -G DEB -B "$scratch/out") \
     >"$scratch/cpack.log" 2>&1; then
  fail "cpack failed: $(cat "$scratch/cpack.log")"
  report deb_package_test
  exit 1
fi
set -- "$scratch"/out/zielwerk_"$version"_*.deb
check
if [ "$#" -ne 1 ] || [ ! -f "$1" ]; then
  fail "no zielwerk_${version}_<arch>.deb made: $(ls "$scratch/out")"
  report deb_package_test
  exit 1
fi
deb=$1

dpkg-deb -c "$deb" >"$scratch/contents"
expected_paths "$source_dir" | while IFS= read -r path; do
  grep -q " \./$path\$" "$scratch/contents" || printf '%s\n' "$path"
done >"$scratch/missing"
check
[ -s "$scratch/missing" ] && fail "missing from the package: $(tr '\n' ' ' <"$scratch/missing")"
check
awk '$2 != "root/root"' "$scratch/contents" | grep -q . &&
  fail "entries not owned by root: $(awk '$2 != "root/root"' "$scratch/contents")"
check
awk '{ print $6 }' "$scratch/contents" | grep -v -e '^\./$' -e '^\./usr/' | grep -q . &&
  fail "entries outside /usr: $(awk '{ print $6 }' "$scratch/contents" | grep -v -e '^\./$' -e '^\./usr/')"
for program in $programs; do
  check
  grep -q "^-rwxr-xr-x .* \./$program\$" "$scratch/contents" || fail "$program is not mode 0755 in the package"
done

field() {
  dpkg-deb -f "$deb" "$1"
}
check
[ "$(field Package)" = zielwerk ] || fail "Package is \"$(field Package)\""
check
[ "$(field Version)" = "$version" ] || fail "Version is \"$(field Version)\""
check
if [ -z "$(field Section)" ] || [ -z "$(field Maintainer)" ]; then
  fail "Section or Maintainer is empty"
fi
check
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is \"$(field Architecture)\""
check
field Description | grep -q "destination display" || fail "Description is \"$(field Description)\""
# The dependencies come from the libraries the binaries are linked with.
depends=$(field Depends)
for library in libc6 libstdc++6 libgtkmm-3.0-1v5 libpng16-16 libjpeg62-turbo libgif7 libcairo2; do
  check
  printf '%s\n' "$depends" | tr ',' '\n' | grep -q "^ *$library\( \|\$\)" ||
    fail "Depends lacks $library: $depends"
done

# Debian's own checks, where lintian is installed (scripts/install-deps.sh
# installs it): no error and no warning.
if command -v lintian >/dev/null 2>&1; then
  check
  lintian "$deb" >"$scratch/lintian.log" 2>&1
  grep -E '^[EW]: ' "$scratch/lintian.log" >"$scratch/lintian.tags" &&
    fail "lintian: $(cat "$scratch/lintian.tags")"
fi

dpkg-deb -x "$deb" "$scratch/root"
check_installed_tree "$scratch/root" "$source_dir"
check
ldd "$scratch/root/usr/libexec/zielwerk/zielwerk" | grep -q "not found" &&
  fail "the packaged program misses libraries: $(ldd "$scratch/root/usr/libexec/zielwerk/zielwerk" | grep 'not found')"
check_launcher "$scratch/root"
report deb_package_test
