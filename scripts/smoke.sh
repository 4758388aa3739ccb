#!/usr/bin/env bash
# A headless run of the program: a few hundred ticks, a screenshot, exit 0.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
mkdir -p run/smoke
if [ -x "$dir/tools/makedata" ]; then
  "$dir/tools/makedata" run
fi
cd run
../"$dir"/tools/zorva-headless --ticks 300 --shot-every 100 --out smoke
ls smoke/*.png >/dev/null
echo "smoke: 1 passed, 0 failed"
