#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds (default 60), one
# target a core, seeded from the sample data set (written by the generator), from the seeds our own
# writers make and from the hand-made seeds in fuzz/corpus/<target>/. Prints each target's runs and
# coverage; a crash, a leak, a timeout or any sanitizer report (undefined behaviour included) fails
# the run and leaves its input in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-60}
bash scripts/setup.sh --clang
cores=$(nproc)
cmake -S . -B build-fuzz -G Ninja -DZORVA_FUZZ=ON -DZORVA_BENCH=OFF -DZORVA_WERROR="${ZORVA_WERROR:-OFF}" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=$(cd fuzz && ls fuzz_*.cpp 2>/dev/null | sed 's/\.cpp$//' || true)
[ -z "$targets" ] && { echo "no fuzz targets"; exit 0; }
# shellcheck disable=SC2086
ninja -C build-fuzz -j "$cores" $targets makedata fuzz-seeds
top=$(pwd)
seeds="$top/build-fuzz/seeds"
rm -rf "$seeds" "$top/build-fuzz/data"
build-fuzz/tools/makedata build-fuzz/data >/dev/null
build-fuzz/fuzz/fuzz-seeds "$seeds"
data="$top/build-fuzz/data/GameData"

# Copies into the target's seed folder every file of the data set whose path below GameData/
# matches one of the patterns and that is at most the given size in KiB, each content once.
take() {
  local target=$1 kib=$2 pattern
  shift 2
  mkdir -p "$seeds/$target"
  for pattern in "$@"; do
    find "$data" -type f -path "$data/$pattern" -size -"$((kib + 1))"k
  done | sort | xargs -r md5sum | sort -s -u -k1,1 | while read -r _ file; do
    cp "$file" "$seeds/$target/$(basename "$(dirname "$file")")-$(basename "$file")"
  done
}
take fuzz_bmp 32 '*.bmp'
take fuzz_index 16 '*Index.txt' 'Stage*/People.txt'
take fuzz_param 16 'System/Param.txt' 'Stage*/People.txt'
take fuzz_people 16 'Stage*/People.txt'
take fuzz_stage 64 'Stage*/Stage.txt' 'Stage*/StageDemo.txt'
take fuzz_wave 16 '*.wav'
take fuzz_pack 64 'PackSample/*.dat'
take fuzz_replay 64 'Fixtures/Replay*.dat' 'Title/ReplayDemo*.dat'
take fuzz_script 64 '*/Script.txt'
# The manifest sits beside GameData/, where the generator wrote it.
mkdir -p "$seeds/fuzz_manifest"
cp "$top/build-fuzz/data/.gamedata.manifest" "$seeds/fuzz_manifest/gamedata.manifest"

# The text readers run on inputs of at most this many bytes: a few dozen lines hold every kind of
# line, and every byte more costs each run (a reader's work under the sanitizers and comparison
# tracing is some hundred nanoseconds a byte; a stage's more, as its screens are padded). Longer
# seeds are cut to the limit, so the stages and the manifest are also seeded whole in short form:
# each map row to its first two screens that hold anything, and the manifest's first records.
# A stage's limit still holds a line longer than the longest its reader takes in one piece (3072
# bytes), so every limit of the reader is within reach; the half kilobyte more that it used to take
# (the last event lines of the longest short forms) added nothing to what a run reaches.
declare -A max_len=([fuzz_stage]=3584 [fuzz_manifest]=4096 [fuzz_index]=1024 [fuzz_param]=1024)
for file in "$seeds/fuzz_stage"/*.txt; do
  LC_ALL=C awk -F, -v OFS=, '
    /^#[0-9][0-9][0-9][A-E][0-9][0-9]:/ {
      cr = sub(/\r$/, "")
      kept = 0
      for (i = 1; i <= NF; i++)
        if ((i == 1 ? $i !~ /:$/ : $i != "") && ++kept == 2) { NF = i; break }
      if (cr) $0 = $0 "\r"
    }
    { print }' "$file" > "${file%.txt}-short.txt"
done
head -n 40 "$seeds/fuzz_manifest/gamedata.manifest" > "$seeds/fuzz_manifest/gamedata-short.manifest"

# Each finding leaves a file here; none may be left from an earlier run.
artifacts="$top/build-fuzz/artifacts"
rm -rf "$artifacts"
mkdir -p "$artifacts"
# Undefined behaviour stops the target as a crash does. A freed block stays poisoned until 16 MB
# more have been freed (a use after free within an input is still caught): with the default
# 256 MB every block a target allocates is fresh memory, and the page faults halve the runs.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=quarantine_size_mb=16
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
  local opts=(-max_total_time="$secs" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1
              -artifact_prefix="$artifacts/$t-")
  [ -f "fuzz/$t.dict" ] && opts+=(-dict="$top/fuzz/$t.dict")
  [ -n "${max_len[$t]:-}" ] && opts+=(-max_len="${max_len[$t]}")
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
  if [ "$running" -ge "$cores" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

# A report that the target survived (a sanitizer told to go on) is a finding all the same.
reports='runtime error:|==[0-9]+==ERROR: |SUMMARY: [A-Za-z]*Sanitizer|ERROR: libFuzzer'
status=0
for t in $targets; do
  log="$top/build-fuzz/$t.log"
  found=$(ls "$artifacts" | grep "^$t-" || true)
  if [ "$(cat "$top/build-fuzz/$t.rc")" != 0 ] || [ -n "$found" ] || grep -Eq "$reports" "$log"; then
    tail -n 40 "$log"
    echo "$t failed${found:+; its inputs: $(echo "$found" | sed "s|^|$artifacts/|" | tr '\n' ' ')}"
    status=1
    continue
  fi
  seeded=$(grep -m1 -o 'INITED cov: [0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  final=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*$' || echo 0)
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  echo "$t: $runs runs ($rate a second); coverage $seeded from the seeds and the kept corpus, $final at the end"
  if [ -n "$(ls -A "$scratch/$t")" ]; then
    echo "$t left files behind: $(ls -A "$scratch/$t")"
    status=1
  fi
done
rm -rf "$scratch"
exit "$status"
