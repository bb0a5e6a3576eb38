#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, from Debian 12 packages, everything Zielwerk needs to build, run and test.
# Idempotent: packages already present are left alone and apt is not touched at all.
# With arguments, installs those packages instead (scripts/windows/install-deps.sh).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtkmm-3.0-dev libx11-dev libpng-dev libjpeg62-turbo-dev libgif-dev zlib1g-dev
  libgdk-pixbuf2.0-bin
  libcairo2-dev libpango1.0-dev
  libgtest-dev googletest
  clang libclang-rt-14-dev
  xvfb xauth xdotool x11-utils imagemagick poppler-utils libxtst-dev
  python3-pyatspi at-spi2-core libatspi2.0-dev dbus dbus-x11
  fonts-dejavu-core librsvg2-common
  desktop-file-utils appstream librsvg2-bin dpkg-dev file
  shellcheck tidy
  help2man locales lintian chromium
)
if [ $# -gt 0 ]; then
  packages=("$@")
fi

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
