#!/bin/sh
# Renders the application icon's PNG sizes from the SVG beside this script.
# Run it after changing the SVG and commit the PNGs (needs rsvg-convert from
# librsvg2-bin).
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" de.zielwerk.Zielwerk.svg -o "de.zielwerk.Zielwerk-$size.png"
done
# The Windows program's icon holds the same sizes (draw_assets from the build
# folder packs them).
../../build/tools/draw_assets --ico de.zielwerk.Zielwerk.ico \
  de.zielwerk.Zielwerk-16.png de.zielwerk.Zielwerk-32.png de.zielwerk.Zielwerk-48.png \
  de.zielwerk.Zielwerk-64.png de.zielwerk.Zielwerk-128.png de.zielwerk.Zielwerk-256.png
