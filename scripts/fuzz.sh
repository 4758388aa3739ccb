#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds (default 60), seeded
# from the sample data set (written by the generator), from the seeds our own writers make and from
# the hand-made seeds in fuzz/corpus/<target>/. Prints each target's coverage after its seeds and at
# the end; a crash or a leak fails the run and leaves its input in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-60}
bash scripts/setup.sh --clang
jobs=$(( $(nproc) / 2 ))
[ "$jobs" -lt 1 ] && jobs=1
cmake -S . -B build-fuzz -G Ninja -DZORVA_FUZZ=ON -DZORVA_BENCH=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=$(cd fuzz && ls fuzz_*.cpp 2>/dev/null | sed 's/\.cpp$//' || true)
[ -z "$targets" ] && { echo "no fuzz targets"; exit 0; }
# shellcheck disable=SC2086
ninja -C build-fuzz -j "$jobs" $targets makedata fuzz-seeds
top=$(pwd)
seeds="$top/build-fuzz/seeds"
rm -rf "$seeds" "$top/build-fuzz/data"
build-fuzz/tools/makedata build-fuzz/data >/dev/null
build-fuzz/fuzz/fuzz-seeds "$seeds"
data="$top/build-fuzz/data/GameData"

# Copies into the target's seed folder the data set's files that match the name pattern and are at
# most the given size in KiB: one of each size (the stages repeat their pictures), smallest first,
# at most eight.
take() {
  local target=$1 pattern=$2 kib=$3
  mkdir -p "$seeds/$target"
  find "$data" -type f -path "$pattern" -size -"$((kib + 1))"k -printf '%s %p\n' | sort -n -u -k1,1 | head -n 8 |
    while read -r _ file; do cp "$file" "$seeds/$target/$(basename "$(dirname "$file")")-$(basename "$file")"; done
}
take fuzz_bmp '*.bmp' 32
take fuzz_index '*Index.txt' 16
take fuzz_param '*/Param.txt' 16
take fuzz_param '*/People.txt' 16
take fuzz_people '*/People.txt' 16
take fuzz_stage '*/Stage*.txt' 16
take fuzz_wave '*.wav' 16
take fuzz_pack '*/PackSample/*.dat' 16
take fuzz_replay '*/Fixtures/Replay*.dat' 16
take fuzz_script '*/Script.txt' 16
# The manifest sits beside GameData/, where the generator wrote it.
mkdir -p "$seeds/fuzz_manifest"
cp "$top/build-fuzz/data/.gamedata.manifest" "$seeds/fuzz_manifest/gamedata.manifest"

mkdir -p build-fuzz/artifacts
# The targets run side by side, each on one core; each has a scratch folder of the build for its
# files, which must be empty after its run.
scratch="$top/build-fuzz/tmp"
rm -rf "$scratch"

run_target() {
  local t=$1
  local corpus="$top/build-fuzz/corpus/$t" tmp="$scratch/$t"
  mkdir -p "$corpus" "$tmp"
  local dirs=("$corpus")
  [ -d "$seeds/$t" ] && dirs+=("$seeds/$t")
  [ -d "fuzz/corpus/$t" ] && dirs+=("$top/fuzz/corpus/$t")
  # One input may take seconds under the sanitizers; a hang still ends the run at the timeout.
  local opts=(-max_total_time="$secs" -timeout=25 -rss_limit_mb=2048 -print_final_stats=0
              -artifact_prefix="$top/build-fuzz/artifacts/$t-")
  [ -f "fuzz/$t.dict" ] && opts+=(-dict="$top/fuzz/$t.dict")
  # Absolute paths: some targets work in a folder of their own.
  if TMPDIR="$tmp" "$top/build-fuzz/fuzz/$t" "${opts[@]}" "${dirs[@]}" > "$top/build-fuzz/$t.log" 2>&1; then
    echo 0 > "$top/build-fuzz/$t.rc"
  else
    echo 1 > "$top/build-fuzz/$t.rc"
  fi
}

running=0
for t in $targets; do
  echo "fuzzing $t for ${secs}s"
  run_target "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

status=0
for t in $targets; do
  if [ "$(cat "$top/build-fuzz/$t.rc")" != 0 ]; then
    tail -n 40 "$top/build-fuzz/$t.log"
    echo "$t failed"
    status=1
    continue
  fi
  seeded=$(grep -m1 -o 'INITED cov: [0-9]*' "$top/build-fuzz/$t.log" | grep -o '[0-9]*$' || echo 0)
  final=$(grep -o 'cov: [0-9]*' "$top/build-fuzz/$t.log" | tail -n 1 | grep -o '[0-9]*$' || echo 0)
  echo "$t coverage: $seeded from the seeds and the kept corpus, $final at the end"
  if [ -n "$(ls -A "$scratch/$t")" ]; then
    echo "$t left files behind: $(ls -A "$scratch/$t")"
    status=1
  fi
done
rm -rf "$scratch"
exit "$status"
