#!/usr/bin/env bash
# Builds Zielwerk and runs every test suite headless under Xvfb, ending with
# CTest's summary. Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  ctest --test-dir build --output-on-failure -j"$(nproc)"
