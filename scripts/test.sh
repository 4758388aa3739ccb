#!/usr/bin/env bash
# Builds everything and runs every test. --sanitize does the same under ASan and UBSan; --tsan runs
# the tests that start threads under ThreadSanitizer.
# The tests run with a private temporary folder, which must be empty afterwards: a test that leaves
# a file behind fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
setup=()
filter=()
case "${1:-}" in
  "") ;;
  --sanitize) dir=build-asan; setup=(--clang) ;;
  # The long single-threaded rides add nothing under ThreadSanitizer that the shorter whole-program
  # runs (the same loading thread) do not; the other two builds run them.
  --tsan) dir=build-tsan; setup=(--clang); filter=(-E 'BusyFrames\.|WholeGameRun\.FiveShort|StageRide\.') ;;
  *) echo "usage: test.sh [--sanitize | --tsan]" >&2; exit 2 ;;
esac
bash scripts/setup.sh "${setup[@]}"
bash scripts/build.sh "$@"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
scratch=$(mktemp -d)
status=0
TMPDIR="$scratch" XDG_RUNTIME_DIR="$scratch" \
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 300 "${filter[@]}" || status=$?
if [ -n "$(ls -A "$scratch")" ]; then
  echo "tests left files behind in their temporary folder:" >&2
  ls -A "$scratch" >&2
  status=1
fi
rm -rf "$scratch"
exit "$status"
