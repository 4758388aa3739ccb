#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-60}
bash scripts/setup.sh --clang
cmake -S . -B build-fuzz -G Ninja -DZORVA_FUZZ=ON -DZORVA_BENCH=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=$(cd fuzz && ls fuzz_*.cpp 2>/dev/null | sed 's/\.cpp$//' || true)
[ -z "$targets" ] && { echo "no fuzz targets"; exit 0; }
ninja -C build-fuzz $targets
top=$(pwd)
for t in $targets; do
  # Absolute paths: some targets work in a folder of their own.
  corpus="$top/build-fuzz/corpus/$t"
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/corpus/$t" ] && seeds=("$top/fuzz/corpus/$t")
  echo "fuzzing $t for ${secs}s"
  "$top/build-fuzz/fuzz/$t" -max_total_time="$secs" -print_final_stats=0 "$corpus" "${seeds[@]}" > "$top/build-fuzz/$t.log" 2>&1 \
    || { tail -n 40 "$top/build-fuzz/$t.log"; echo "$t failed"; exit 1; }
  tail -n 1 "$top/build-fuzz/$t.log"
done
