#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Zielwerk and starts it in run/, a working folder made from data/.
# Files already in run/ (your settings, your pictures) are never overwritten.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
mkdir -p run
cp -r -n data/. run/
cd run
exec ../build/zielwerk "$@"
