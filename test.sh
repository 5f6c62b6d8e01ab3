#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test headless,
# then every fuzz target briefly on its corpus.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
      -DWARDEN_SANITIZE=ON -DWARDEN_TESTS=ON -DWARDEN_BENCH=ON >/dev/null
cmake --build build-test
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
(cd build-test && ctest --output-on-failure -j "$(nproc)")
fuzz/run.sh ci
