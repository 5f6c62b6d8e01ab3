#!/usr/bin/env bash
# Builds the fuzz targets in build-fuzz (clang, libFuzzer, address and undefined-behaviour
# sanitizers) and runs them side by side, one process each, starting from fuzz/corpus/<target>.
#   fuzz/run.sh ci         every target on its corpus plus a fixed number of new inputs
#   fuzz/run.sh SECONDS    every target for that many seconds
# New inputs go to build-fuzz/corpus/<target>, a failing input to build-fuzz/crashes/, libFuzzer's
# report to build-fuzz/logs/<target>.log (the game's own messages on standard output are shut
# off: a fuzzer makes millions). Fails when any target fails.
set -uo pipefail
cd "$(dirname "$0")/.."
mode="${1:-ci}"
targets=(level_file_fuzz lang_pack_fuzz pack_index_fuzz level_source_fuzz network_fuzz)
# New inputs per target in CI: about 20 seconds of each on one core (a level source input is
# checked three times: as it stands, as the well-formed source built from it, and as that source
# with one value spoiled).
declare -A ciRuns=([level_file_fuzz]=20000 [lang_pack_fuzz]=10000 [pack_index_fuzz]=500000
                   [level_source_fuzz]=48000 [network_fuzz]=50000)

# Line tables only: reports still name files and lines, and the build stays quick on a small machine.
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-gline-tables-only -O1" \
      -DWARDEN_FUZZ=ON >/dev/null || exit 1
cmake --build build-fuzz --target "${targets[@]}" || exit 1
mkdir -p build-fuzz/logs build-fuzz/crashes
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

pids=()
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t"
  if [ "$mode" = ci ]; then limit=(-runs="${ciRuns[$t]}" -seed=1); else limit=(-max_total_time="$mode"); fi
  # Absolute paths: each target works in a scratch folder of its own.
  build-fuzz/fuzz/"$t" "$PWD/build-fuzz/corpus/$t" "$PWD/fuzz/corpus/$t" "${limit[@]}" -rss_limit_mb=2048 \
      -timeout=10 -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$PWD/build-fuzz/crashes/$t-" >"build-fuzz/logs/$t.log" 2>&1 &
  pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  if wait "${pids[$i]}"; then status=ok; else status=FAILED; failed=$((failed + 1)); fi
  runs=$(grep -ao 'number_of_executed_units: [0-9]*' "build-fuzz/logs/$t.log" | grep -o '[0-9]*$')
  echo "fuzz $t: ${runs:-?} executions, $status"
  [ "$status" = ok ] || tail -n 40 "build-fuzz/logs/$t.log"
done
echo "fuzz: $((${#targets[@]} - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
