#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the application icon's PNG sizes from the SVG beside this script.
# Run it after changing the SVG and commit the PNGs (needs rsvg-convert from
# librsvg2-bin, and a build in build/ for the application ID and draw_assets).
set -eu
cd "$(dirname "$0")"
app_id=$(sed -n 's/^app_id=//p' ../../build/package.env)
set --
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$app_id.svg" -o "$app_id-$size.png"
  set -- "$@" "$app_id-$size.png"
done
# The Windows program's icon holds the same sizes (draw_assets from the build
# folder packs them).
../../build/tools/draw_assets --ico "$app_id.ico" "$@"
