#!/usr/bin/env bash
# A headless run of the program: a few hundred ticks, a screenshot, exit 0. It works in a folder of
# its own below the build folder, so the data in run/ and whatever the user changed there stay out.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$(cd "${1:-build}" && pwd)
work="$dir/smoke"
rm -rf "$work"
mkdir -p "$work"
"$dir/tools/makedata" "$work" >/dev/null
cd "$work"
"$dir/tools/zorva-headless" --ticks 300 --shot-every 100 --out shots
ls shots/*.png >/dev/null
echo "smoke: 1 passed, 0 failed"
