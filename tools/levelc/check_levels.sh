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
# A source whose level the game would refuse is refused here, with a message and no file, as is a
# source that is not there. The escape in their names is shown by its code, never sent raw.
bad="$out/bad"$'\033'".txt"
printf 'tileset ../cytok\nsize 1 1 1\n' >"$bad"
if "$levelc" "$bad" "$out/bad.lvl" 2>"$out/bad.err" || "$levelc" "$out/gone"$'\033' "$out/bad.lvl" 2>>"$out/bad.err" ||
   [ -e "$out/bad.lvl" ] || ! grep -qF 'bad\x1b.txt:1: tileset NAME' "$out/bad.err" ||
   ! grep -qxF "levelc: $out/gone\x1b: cannot open" "$out/bad.err" || grep -q $'\033' "$out/bad.err"; then
  echo "FAIL: a set name with '..' or a missing source is not refused as it should be"
  failed=$((failed + 1))
fi
# Past a file size limit of 4 KiB: a message and exit 1, not death by the limit's signal, and the old
# output byte for byte with nothing beside it. The tab in the folder's name is shown by its code.
full="$out/full"$'\t'"disk"
mkdir "$full" && cp panorama.lvl "$full/kept.lvl"
(ulimit -f 4; exec "$levelc" levels/demo.txt "$full/kept.lvl") >/dev/null 2>"$out/full.err"
rc=$?
if [ "$rc" -ne 1 ] || ! cmp -s panorama.lvl "$full/kept.lvl" || [ "$(ls -A "$full")" != kept.lvl ] ||
   ! grep -qxF "levelc: cannot write $out/full\x09disk/kept.lvl" "$out/full.err"; then
  echo "FAIL: past a file size limit the compiler exited with $rc or left more than the old output"
  failed=$((failed + 1))
fi
echo "levels: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
