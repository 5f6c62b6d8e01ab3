#!/usr/bin/env bash
# Builds the game (release) and starts it from the folder that holds resource/ and the levels.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target warden
exec build/warden "$@"
