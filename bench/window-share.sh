#!/usr/bin/env bash
# What the game costs in a real window on a machine without a graphics card: the busiest stretch
# played at the speed of play (build/bench/zorva-window-run) on a virtual X server that draws in
# software (Xvfb), and the process's share of one core (user and system time of all its threads
# over the wall time), its resident set and its threads. Usage: bench/window-share.sh [BUILD_DIR]
# (default build). The window runs on a display of its own; without a sound device SDL's dummy
# audio driver stands in for one (SDL_AUDIODRIVER set by the caller is kept).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
run="$build/bench/zorva-window-run"
if ! command -v Xvfb >/dev/null; then
  echo "window-share: needs Xvfb, the virtual X server: apt-get install -y --no-install-recommends xvfb" >&2
  exit 1
fi
if [ ! -x "$run" ]; then
  echo "window-share: no $run; build it first: ninja -C $build bench/zorva-window-run" >&2
  exit 1
fi
tmp=$(mktemp -d)
xvfb=""
cleanup() {
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
# Xvfb picks a free display and writes its number to the file.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
if [ ! -s "$tmp/display" ]; then
  echo "window-share: Xvfb did not start:" >&2
  cat "$tmp/xvfb.log" >&2
  exit 1
fi
echo "machine load: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 minutes; $(nproc) cores)"
DISPLAY=":$(cat "$tmp/display")" SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" "$run"
