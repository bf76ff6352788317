#!/usr/bin/env bash
# The program as a desktop starts it: installed under a prefix it finds its
# data in ../share/tetrad, from any folder; a module it refuses opens an
# empty one with the reason shown, where the batch commands still fail.
set -u
source "$(dirname "$0")/lib.bash"

mkdir -p "$work/prefix/bin" "$work/prefix/share/tetrad" "$work/elsewhere"
cp "$tetrad" "$work/prefix/bin/tetrad"
cp -r "$source_dir/data" "$work/prefix/share/tetrad/data"
(cd "$work/elsewhere" && "$work/prefix/bin/tetrad" --screenshot shot.png ../prefix/share/tetrad/data/demo.mod) ||
  fail "an installed copy could not start from another folder"
[ -s "$work/elsewhere/shot.png" ] || fail "the installed copy wrote no screenshot"
# Its own data/ wins over the installed one: a build folder stays as it was.
mkdir "$work/prefix/bin/data"
"$work/prefix/bin/tetrad" --screenshot "$work/none.png" "$demo" 2>"$work/err" &&
  fail "an empty data/ beside the executable was passed over"
grep -q "prefix/bin/data/hvmain.png" "$work/err" || fail "missing image named as: $(cat "$work/err")"

head -c 3000 /dev/urandom >"$work/noise.mod"
printf 'wait 1\nshot %s\nsave %s\n' "$work/refused.png" "$work/saved.mod" >"$work/refused.script"
printf 'wait 1\nshot %s\n' "$work/empty.png" >"$work/empty.script"
expect_status 0 "$tetrad" --script "$work/refused.script" "$work/noise.mod"
[ "$(cat "$work/err")" = "tetrad: $work/noise.mod: not an M.K. module" ] ||
  fail "a refused module was reported as '$(cat "$work/err")'"
expect_status 0 "$tetrad" --script "$work/empty.script"
cmp -s "$work/refused.png" "$work/empty.png" &&
  fail "the screen after a refused module does not say why"
expect_status 0 "$tetrad" --info "$work/saved.mod"
grep -q "^length:    1 positions" "$work/out" && ! grep -Eq '^ ?[0-9]+ .* [1-9][0-9]* +[0-9]+ +[0-9]+ +-?[0-9]+ +[0-9]+$' "$work/out" ||
  fail "the module after a refusal is not empty: $(cat "$work/out")"
expect_status 1 "$tetrad" --screenshot "$work/x.png" "$work/noise.mod"
[ -e "$work/x.png" ] && fail "a screenshot of a refused module was written"
expect_status 1 "$tetrad" --info "$work/noise.mod"
expect_status 1 "$tetrad" --render "$work/noise.mod" "$work/x.wav"

finish desktop_start
