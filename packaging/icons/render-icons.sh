#!/bin/sh
# Renders the application icon's PNG sizes from the SVG beside this script.
# Run it after changing the SVG and commit the PNGs (needs rsvg-convert from
# librsvg2-bin).
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" de.zielwerk.Zielwerk.svg -o "de.zielwerk.Zielwerk-$size.png"
done
