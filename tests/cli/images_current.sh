#!/usr/bin/env bash
# The bundled GUI images are what the generator draws today: a change to
# the generator that is not followed by regenerating data/ fails here.
set -u
source "$(dirname "$0")/lib.bash"
imagegen=$(dirname "$tetrad")/imagegen

"$imagegen" --check "$source_dir/data" || fail "data/ is out of date (run: build/imagegen data)"
# What it writes reads back as what it draws.
"$imagegen" "$work" || fail "imagegen could not write its images"
# Every bundled image is drawn: none is left over from an older generator.
count=$(ls "$work"/*.png 2>/dev/null | wc -l)
bundled=$(ls "$source_dir"/data/*.png | wc -l)
[ "$count" -eq "$bundled" ] || fail "imagegen wrote $count images, data/ holds $bundled"
"$imagegen" --check "$work" || fail "written images do not read back as drawn"
finish "GUI images"
