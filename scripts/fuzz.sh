#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-60}
bash scripts/setup.sh
cmake -S . -B build-fuzz -G Ninja -DZORVA_FUZZ=ON -DZORVA_BENCH=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=$(cd fuzz && ls fuzz_*.cpp 2>/dev/null | sed 's/\.cpp$//' || true)
[ -z "$targets" ] && { echo "no fuzz targets"; exit 0; }
ninja -C build-fuzz $targets
for t in $targets; do
  mkdir -p build-fuzz/corpus/$t
  seeds=()
  [ -d fuzz/corpus/$t ] && seeds=(fuzz/corpus/$t)
  echo "fuzzing $t for ${secs}s"
  build-fuzz/fuzz/$t -max_total_time="$secs" -print_final_stats=0 build-fuzz/corpus/$t "${seeds[@]}" 2>&1 | tail -n 3
done
