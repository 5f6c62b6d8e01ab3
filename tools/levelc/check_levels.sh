#!/usr/bin/env bash
# Compiles every levels/NAME.txt and compares the result with the committed NAME.lvl, and checks
# that a faulty source is refused.
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
# A source whose level the game would refuse is refused here, with a message and no file.
printf 'tileset ../cytok\nsize 1 1 1\n' >"$out/bad.txt"
if "$levelc" "$out/bad.txt" "$out/bad.lvl" 2>"$out/bad.err" || [ -e "$out/bad.lvl" ] ||
   ! grep -q "bad.txt:1: tileset NAME" "$out/bad.err"; then
  echo "FAIL: a set name with '..' is not refused"
  failed=$((failed + 1))
fi
echo "levels: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
