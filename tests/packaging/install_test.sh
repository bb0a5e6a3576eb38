#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck disable=SC2119
# `cmake --install` into a scratch folder: the installed tree and the launcher.
# Usage: install_test.sh BUILD_DIR CMAKE
set -u
build_dir=$1
cmake_command=${2:-cmake}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
. "$source_dir/tests/packaging/package_checks.sh"

check
if ! "$cmake_command" --install "$build_dir" --prefix "$scratch/root/usr" >"$scratch/install.log" 2>&1; then
  fail "cmake --install failed: $(cat "$scratch/install.log")"
  report install_test
  exit 1
fi
check_installed_tree "$scratch/root" "$source_dir"
# The build folder's program finds the manual of the tree beside it.
check
diff -r "$source_dir/docs/hilfe" "$build_dir/hilfe" >"$scratch/help.diff" 2>&1 ||
  fail "the build folder's hilfe/ is not docs/hilfe/: $(head -5 "$scratch/help.diff")"
check_launcher "$scratch/root"
report install_test
