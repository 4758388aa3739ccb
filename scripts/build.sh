#!/usr/bin/env bash
# Configures and builds into build/; --sanitize builds into build-asan/ (ASan and UBSan) and --tsan
# into build-tsan/ (ThreadSanitizer, the tests that run threads only), both by clang.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
args=()
clang=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo)
case "${1:-}" in
  "") ;;
  --sanitize) dir=build-asan; args=(-DZORVA_SANITIZE=ON "${clang[@]}") ;;
  --tsan) dir=build-tsan; args=(-DZORVA_TSAN=ON "${clang[@]}") ;;
  *) echo "usage: build.sh [--sanitize | --tsan]" >&2; exit 2 ;;
esac
# CI exports ZORVA_WERROR=ON; passed every time, so the cached value always follows the caller.
cmake -S . -B "$dir" -G Ninja -DZORVA_WERROR="${ZORVA_WERROR:-OFF}" "${args[@]}" >/dev/null
ninja -C "$dir"
