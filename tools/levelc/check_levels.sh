#!/usr/bin/env bash
# Compiles every levels/NAME.txt and compares the result with the committed NAME.lvl.
set -u
levelc="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
passed=0 failed=0
for src in levels/*.txt; do
  name=$(basename "$src" .txt)
  if "$levelc" "$src" "$out/$name.lvl" >/dev/null && cmp -s "$out/$name.lvl" "$name.lvl"; then
    passed=$((passed + 1))
  else
    echo "FAIL: $name.lvl differs from what $src compiles to"
    failed=$((failed + 1))
  fi
done
echo "levels: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
