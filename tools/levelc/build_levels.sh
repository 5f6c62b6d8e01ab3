#!/usr/bin/env bash
# Rebuilds the level compiler and compiles every levels/NAME.txt into NAME.lvl in the repository root.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target levelc
for src in levels/*.txt; do
  name=$(basename "$src" .txt)
  build/levelc "$src" "$name.lvl"
  echo "compiled $src -> $name.lvl"
done
