#!/bin/sh
# Regenerates every image twice into scratch folders and checks that both
# runs match each other and the files committed under resource/.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
python=/usr/bin/python3
export PYTHONDONTWRITEBYTECODE=1
[ -x "$python" ] || python=python3
a=$(mktemp -d)
b=$(mktemp -d)
trap 'rm -rf "$a" "$b"' EXIT
"$python" "$here/gen_art.py" "$a" >/dev/null
"$python" "$here/gen_art.py" "$b" >/dev/null
status=0
count=0
for f in "$a"/*; do
    name=$(basename "$f")
    count=$((count + 1))
    if ! cmp -s "$f" "$b/$name"; then
        echo "not reproducible: $name"
        status=1
    fi
    if ! cmp -s "$f" "$repo/resource/$name"; then
        echo "differs from the committed resource/$name (rerun tools/gen_art.py)"
        status=1
    fi
done
if [ "$count" -eq 0 ]; then
    echo "generator wrote no images"
    status=1
fi
[ "$status" -eq 0 ] && echo "$count images reproducible"
exit "$status"
