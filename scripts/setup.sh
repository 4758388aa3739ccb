#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12; installs only what is missing.
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config libsdl2-dev libfreetype-dev libfontconfig-dev
      fonts-ipafont-gothic libpng-dev googletest libgtest-dev libbenchmark-dev
      clang libclang-rt-14-dev)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
