#!/usr/bin/env bash
# Builds the game, writes the sample data set into run/ and starts the game there.
# Without a display it says so and runs the game through the headless runner instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
mkdir -p run
if [ -x build/tools/makedata ]; then
  build/tools/makedata run
fi
cd run
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running the game headless for 600 ticks; screenshots in run/shots/."
  mkdir -p shots
  exec ../build/tools/zorva-headless --ticks 600 --shot-every 120 --out shots
fi
exec ../build/src/zorva
