#!/usr/bin/env bash
# Builds everything and runs every test. --sanitize does the same under ASan and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--sanitize" ]; then
  bash scripts/setup.sh --clang
else
  bash scripts/setup.sh
fi
bash scripts/build.sh "$@"
dir=build
[ "${1:-}" = "--sanitize" ] && dir=build-asan
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 300
