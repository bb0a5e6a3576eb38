#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the installer from a staged folder: writes the uninstaller's file list
# (every staged file, then every folder, deepest first) and runs makensis on
# packaging/windows/zielwerk.nsi.
#
# Usage: make-installer.sh <staged folder> <setup.exe> <version> <application ID>
#                          <picture maker's application ID> <copyright years>
#                          <copyright holder> [makensis option...]
# The staged folder holds Lizenzen\Zielwerk\LICENSE.txt, which the installer
# shows on its licence page.
set -euo pipefail

if [ $# -lt 7 ]; then
  echo "usage: $0 <staged folder> <setup.exe> <version> <application ID> <picture maker's application ID>" \
    "<copyright years> <copyright holder> [makensis option...]" >&2
  exit 2
fi
stage=$(cd "$1" && pwd) setup_file=$(realpath -m "$2") version=$3 app_id=$4 picture_maker_id=$5
copyright_years=$6 copyright_holder=$7
shift 7
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

list=$(mktemp --suffix=.nsh)
trap 'rm -f "$list"' EXIT
# NSIS wants backslashes.
# shellcheck disable=SC2016 # $INSTDIR is NSIS's, not the shell's
{
  (cd "$stage" && find . -type f | LC_ALL=C sort) | sed -e 's|^\./||' -e 's|/|\\|g' -e 's|.*|Delete "$INSTDIR\\&"|'
  (cd "$stage" && find . -mindepth 1 -type d | LC_ALL=C sort -r) | sed -e 's|^\./||' -e 's|/|\\|g' -e 's|.*|RMDir "$INSTDIR\\&"|'
} >"$list"

rm -f "$setup_file"
makensis -V2 "$@" -DVERSION="$version" -DAPP_ID="$app_id" -DPICTURE_MAKER_ID="$picture_maker_id" \
  -DCOPYRIGHT_YEARS="$copyright_years" -DPUBLISHER="$copyright_holder" \
  -DSTAGE="$stage" -DUNINSTALL_LIST="$list" -DSIZE_KB="$(du -sk "$stage" | cut -f1)" -DICON="$root/packaging/icons/$app_id.ico" \
  -DOUTFILE="$setup_file" "$root/packaging/windows/zielwerk.nsi"
