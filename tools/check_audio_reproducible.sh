#!/bin/sh
# Regenerates the sounds, music and language pack twice into scratch folders and
# checks that every generated file matches, byte for byte, the copy committed
# under resource/. Fails when a generator is not deterministic or when someone
# changed a generator without regenerating (or edited a resource by hand).
set -eu

tools=$(cd "$(dirname "$0")" && pwd)
resource="$tools/../resource"
python=/usr/bin/python3
export PYTHONDONTWRITEBYTECODE=1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

generators=""
for g in make_sounds.py make_lang.py make_music.py; do
    [ -f "$tools/$g" ] && generators="$generators $g"
done

for run in 1 2; do
    mkdir -p "$scratch/$run"
    for g in $generators; do
        "$python" "$tools/$g" "$scratch/$run"
    done
done

checked=0
failed=0
for file in "$scratch/1"/*; do
    name=$(basename "$file")
    if ! cmp -s "$file" "$scratch/2/$name"; then
        echo "not reproducible: $name differs between two runs"
        failed=$((failed + 1))
    elif ! cmp -s "$file" "$resource/$name"; then
        echo "stale or hand-edited: resource/$name differs from its generator's output"
        failed=$((failed + 1))
    fi
    checked=$((checked + 1))
done

if [ "$checked" -eq 0 ]; then
    echo "no files were generated"
    exit 1
fi
echo "$checked generated files checked, $failed differ"
[ "$failed" -eq 0 ]
