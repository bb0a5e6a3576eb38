#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Remakes the pictures of the German manual (docs/hilfe/laufschild/) from the
# programs as they are now, under Xvfb: the window at its first start, with
# the port list open, the Bildwandler with the test photo, and the display
# simulator's LEDs. The picture of the Windows program is the one
# scripts/windows/dpi-screenshots.sh takes under Wine (docs/windows-96.png).
# Run it whenever the windows change. Needs a built build/ for the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
pictures=docs/hilfe/laufschild
./scripts/screenshot.sh "$pictures/fenster.png"
./scripts/screenshot.sh --port-list "$pictures/portliste.png"
./scripts/screenshot.sh --bildwandler "$pictures/bildwandler.png"
./scripts/display-sim-screenshot.sh >/dev/null
cp docs/display-sim.png "$pictures/anzeige.png"
cp docs/windows-96.png "$pictures/windows.png"
echo "$pictures: $(cd "$pictures" && echo ./*.png)"
