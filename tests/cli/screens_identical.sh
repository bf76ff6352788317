#!/usr/bin/env bash
# The screen tour's pictures are byte-identical to the reference pictures:
# nothing a screen shows has changed unnoticed. After a change meant to
# alter a screen, make new references with
#   bash tests/screens/shots.sh build/tetrad . tests/screens/reference
set -u
source "$(dirname "$0")/lib.bash"

bash "$source_dir/tests/screens/shots.sh" "$tetrad" "$source_dir" "$work/shots" 2>"$work/err" ||
  fail "the tour script failed: $(cat "$work/err")"
for reference in "$source_dir"/tests/screens/reference/*.png; do
  name=$(basename "$reference")
  [ -f "$work/shots/$name" ] || { fail "no $name was taken"; continue; }
  cmp -s "$reference" "$work/shots/$name" || fail "$name differs from its reference"
done
finish screens_identical
