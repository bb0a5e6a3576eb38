#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing and builds Zielwerk into build/ (extra arguments go to cmake).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build "$@" >/dev/null
cmake --build build -j"${ZIELWERK_JOBS:-$(nproc)}"
