#!/usr/bin/env bash
# The presets screen in a scripted session: ADD keeps the current sample
# (written into the library), a missing entry refuses to load, a click
# loads an entry into the current slot as one undo step, DEL removes the
# entry chosen (Home, then a typed letter) after its question and leaves
# the library's file.
set -u
source "$(dirname "$0")/lib.bash"

config=$work/config
mkdir -p "$config/tetrad"
printf '[dirs]\nlibrary = %s\n' "$work/lib" >"$config/tetrad/tetrad.ini"
printf '[gone]\ncomment = lost\n' >"$config/tetrad/presets.ini"
line() { echo "click 50 $((14 + 7 * $1 + 3))"; }
cat >"$work/presets.script" <<EOF1
save $work/before.mod
click 270 16
wait 2
click 20 5
key Right ctrl
wait 2
$(line 0)
wait 2
save $work/missing.mod
$(line 1)
wait 2
save $work/loaded.mod
key u ctrl
wait 2
save $work/undone.mod
key Home
type K
click 70 5
wait 2
key y
wait 2
EOF1
XDG_CONFIG_HOME=$config expect_status 0 "$tetrad" --script "$work/presets.script" "$demo"

from() { tail -c +$(($2 + 1)) "$1" | head -c "$3"; }
kick() { from "$1" "$2" 2400; }
# Sample 1, kick, starts after the demo's four patterns.
cmp -s "$work/lib/kick" <(kick "$work/before.mod" $((1084 + 4 * 1024))) ||
  fail "ADD did not write kick's bytes into the library"
cmp -s "$work/missing.mod" "$work/before.mod" || fail "a missing entry changed the module"
# Sample 2 is kick now: its name, 1200 words, and the bytes after sample 1.
[ "$(from "$work/loaded.mod" 50 4)" = "kick" ] || fail "sample 2 is not named kick"
[ "$(mod_byte "$work/loaded.mod" 72) $(mod_byte "$work/loaded.mod" 73)" = "4 176" ] ||
  fail "sample 2 is not 1200 words long"
cmp -s "$work/lib/kick" <(kick "$work/loaded.mod" $((1084 + 4 * 1024 + 2400))) ||
  fail "sample 2 does not hold kick's bytes"
cmp -s "$work/undone.mod" "$work/before.mod" || fail "one undo did not take the load back"
grep -q '^\[gone\]$' "$config/tetrad/presets.ini" || fail "DEL removed the wrong entry"
grep -q '^\[kick\]$' "$config/tetrad/presets.ini" && fail "DEL did not remove kick"
[ -f "$work/lib/kick" ] || fail "DEL removed the library's file"
finish presets_session
