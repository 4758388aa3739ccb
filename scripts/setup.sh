#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12; installs only what is missing.
#   setup.sh           the packages of the two README commands
#   setup.sh --clang   those and clang with its sanitizer runtime (sanitizer and fuzz builds)
set -euo pipefail
# googletest is left out: libgtest-dev depends on it.
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
# Without root and without sudo nothing can be installed from here: say what root has to run.
as_root=(env)
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
  command -v sudo >/dev/null 2>&1 || as_root=()
fi
needs_root() {
  echo "setup.sh: missing packages; as root, run: apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
}
[ ${#as_root[@]} -eq 0 ] && needs_root
# sudo resets the environment, so the front end goes on its command line. A refused sudo ends
# with the same line as no sudo at all.
apt_get() {
  "${as_root[@]}" DEBIAN_FRONTEND=noninteractive apt-get "$@" && return 0
  [ "${as_root[0]}" = sudo ] && needs_root
  return 1
}
echo "Installing: ${missing[*]}"
apt_get update -qq
apt_get install -y -qq "${missing[@]}"
