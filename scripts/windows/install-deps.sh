#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, from Debian 12 packages, what the Windows build needs: the MinGW-w64
# cross compilers, the build tools of the GTK stack, Wine to run the results and
# NSIS for the installer. Idempotent: apt is not touched when nothing is missing.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  libz-mingw-w64-dev
  meson ninja-build cmake pkg-config nasm python3 python3-packaging
  mm-common m4 perl libxml-parser-perl
  bison flex gperf gettext patch
  libglib2.0-bin libglib2.0-dev-bin libgdk-pixbuf2.0-bin
  xz-utils bzip2 ca-certificates debian-archive-keyring
  wine wine64 fonts-wine fonts-dejavu-core
  nsis zip
)

exec "$(dirname "$0")/../install-deps.sh" "${packages[@]}"
