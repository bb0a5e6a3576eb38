#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Remakes the pictures of the German manual (docs/hilfe/laufschild/) from the
# programs as they are now, under Xvfb: the window at its first start, its port
# field with the list open (the adapters' descriptions from a stand-in
# system), the Bildwandler with the test photo, and the display simulator's
# LEDs. Each shows something the others do not. Run it whenever the windows
# change. Needs a built build/ for the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
pictures=docs/hilfe/laufschild
./scripts/screenshot.sh "$pictures/fenster.png"
./scripts/screenshot.sh --port-list "$pictures/portliste.png"
./scripts/screenshot.sh --bildwandler "$pictures/bildwandler.png"
./scripts/display-sim-screenshot.sh >/dev/null
cp docs/display-sim.png "$pictures/anzeige.png"
echo "$pictures: $(cd "$pictures" && echo ./*.png)"
