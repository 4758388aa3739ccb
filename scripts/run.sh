#!/usr/bin/env bash
# Builds the game, brings the sample data set in run/ up to date and starts the game there. Data
# files the user changed in run/GameData are kept (makedata says so); the settings and replays
# there are never touched. Without a display it says so and lets a player at the keys run the game
# through the headless runner instead: caution, opening, title, stage 1 and its boss.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
mkdir -p run
build/tools/makedata --update run
cd run
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: a player runs the game headless to the first boss; screenshots in run/shots/."
  mkdir -p shots
  exec ../build/tools/zorva-headless --play --ticks 3000 --shot-every 50 --out shots
fi
exec ../build/src/zorva
