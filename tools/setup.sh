#!/usr/bin/env bash
# Installs the Debian packages the game and its tests need, and any named on the command line,
# only those still missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config
          libsdl1.2-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libsdl-net1.2-dev
          libgtest-dev libbenchmark-dev python3 python3-pil python3-numpy
          strace  # the program checks watch the packer's flushes
          clang libclang-rt-14-dev  # the fuzz targets: clang with libFuzzer
          "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
