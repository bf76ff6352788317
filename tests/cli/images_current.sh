#!/usr/bin/env bash
# The bundled GUI images are what the generator draws today: a change to
# the generator that is not followed by regenerating data/ fails here.
set -u
tetrad=$1
source_dir=$2
imagegen=$(dirname "$tetrad")/imagegen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$imagegen" "$work" || { echo "FAIL: imagegen exited $?" >&2; exit 1; }
failures=0
for generated in "$work"/*.png; do
  name=$(basename "$generated")
  cmp -s "$generated" "$source_dir/data/$name" || {
    echo "FAIL: data/$name differs from the generator's output (run: build/imagegen data)" >&2
    failures=$((failures + 1))
  }
done
count=$(ls "$work"/*.png | wc -l)
[ "$count" -eq 19 ] || { echo "FAIL: generator wrote $count images, wanted 19" >&2; exit 1; }
exit $((failures > 0))
