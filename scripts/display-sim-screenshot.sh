#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Remakes docs/display-sim.png, the README's picture of the display simulator's
# window: the window test sends settings, a picture and a route through a
# pseudo-terminal and saves what the X server shows. Needs a built build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target display_simulator_window_test -j"${ZIELWERK_JOBS:-$(nproc)}" >/dev/null
rm -f build/display-sim.png
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  build/tests/display_simulator_window_test >/dev/null
mkdir -p docs
cp build/display-sim.png docs/display-sim.png
echo "docs/display-sim.png"
