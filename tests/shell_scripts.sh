#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs shellcheck on every shell script of the source tree (the folder given,
# or the one above tests/): *.sh files, the CI entry point and the launcher
# template.
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root"
scripts=(.ci/run packaging/zielwerk-launcher.in)
while IFS= read -r -d '' script; do
  scripts+=("$script")
done < <(find . -name '*.sh' -not -path './build*' -not -path './dist/*' -not -path './.git/*' \
              -print0 | sort -z)
shellcheck --shell=bash "${scripts[@]}"
echo "shellcheck: ${#scripts[@]} scripts clean"
