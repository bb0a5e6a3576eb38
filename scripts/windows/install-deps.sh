#!/usr/bin/env bash
# Installs, from Debian 12 packages, what the Windows build needs: the MinGW-w64
# cross compilers, the build tools of the GTK stack, Wine to run the results and
# NSIS for the installer. Idempotent: apt is not touched when nothing is missing.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  libz-mingw-w64-dev
  meson ninja-build cmake pkg-config nasm python3 python3-packaging
  mm-common m4 perl libxml-parser-perl
  bison flex gperf gettext
  libglib2.0-bin libglib2.0-dev-bin libgdk-pixbuf2.0-bin
  xz-utils bzip2 ca-certificates debian-archive-keyring
  wine wine64 fonts-wine fonts-dejavu-core
  nsis zip
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
