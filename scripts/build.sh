#!/usr/bin/env bash
# Configures and builds into build/ (or build-asan/ with --sanitize, built by clang).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
args=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  args=(-DZORVA_SANITIZE=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi
cmake -S . -B "$dir" -G Ninja "${args[@]}" >/dev/null
ninja -C "$dir"
