#!/usr/bin/env bash
# Records the demo run again into tests/story/demo_record.txt. Use it only after a change meant to
# change what the game shows or when its steps hand over, and say why in that commit.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build-record -G Ninja -DCMAKE_BUILD_TYPE=Release -DWARDEN_TESTS=ON >/dev/null
cmake --build build-record --target test_story
WARDEN_RECORD=1 build-record/tests/test_story --gtest_filter='Recorded/*'
git --no-pager diff --stat -- tests/story/demo_record.txt
