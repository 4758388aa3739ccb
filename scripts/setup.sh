#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12; installs only what is missing.
#   setup.sh           the packages of the two README commands
#   setup.sh --clang   those and clang with its sanitizer runtime (sanitizer and fuzz builds)
# apt's and dpkg's own output goes to build/setup.log; one line a step is printed here.
set -euo pipefail
cd "$(dirname "$0")/.."
# googletest is left out: libgtest-dev depends on it. pixman is the benchmarks' anchor.
pkgs=(cmake ninja-build g++ pkg-config libsdl2-dev libfreetype-dev libfontconfig-dev
      fonts-ipafont-gothic libpng-dev libgtest-dev libbenchmark-dev libpixman-1-dev)
case "${1:-}" in
  "") ;;
  --clang) pkgs+=(clang libclang-rt-14-dev) ;;
  *) echo "usage: scripts/setup.sh [--clang]" >&2; exit 2 ;;
esac
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
needs_root() {
  echo "setup.sh: missing packages; as root, run: apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
}
# Without root, sudo is asked once up front (it may want a password): a sudo that is missing or
# refuses ends with the command for root, and a later failure is apt's own, told as such.
as_root=(env)
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || needs_root
  sudo -v || needs_root
  as_root=(sudo)
fi
mkdir -p build
log=build/setup.log
: > "$log"
# sudo resets the environment, so the front end goes on its command line.
apt_step() {
  local what=$1
  shift
  echo "setup.sh: $what"
  if ! "${as_root[@]}" DEBIAN_FRONTEND=noninteractive apt-get "$@" >> "$log" 2>&1; then
    echo "setup.sh: apt-get $1 failed:" >&2
    grep -E '^(E|W): ' "$log" | tail -n 5 >&2 || tail -n 5 "$log" >&2
    echo "setup.sh: apt's whole output is in $log" >&2
    exit 1
  fi
}
echo "setup.sh: installing ${missing[*]} (apt's output: $log)"
apt_step "updating the package lists" update
# Recommended packages are left out: nothing here uses them.
apt_step "installing the packages" install -y --no-install-recommends "${missing[@]}"
echo "setup.sh: done"
