#!/usr/bin/env bash
# The disk op's keys in a scripted session, on a folder longer than the
# list: End marks the last file, "ba" typed marks bass.mod (before beat.mod,
# and scrolled into view), Return loads it. The typed letters, in edit
# mode, write nothing into the module, and the marked line is the one drawn
# on the band.
set -u
source "$(dirname "$0")/lib.bash"

export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
music=$work/music
mkdir -p "$HOME" "$music"
# A copy of the demo told apart by its title.
module() {
  cp "$demo" "$music/$1"
  printf '%-20s' "$2" | dd of="$music/$1" conv=notrunc status=none
}
# In name order: a00..a09, bass, beat, c00..c15, start, zzz (30 entries).
for i in 0 1 2 3 4 5 6 7 8 9; do module "a0$i.mod" "A0$i"; done
for i in $(seq -w 0 15); do module "c$i.mod" "C$i"; done
module bass.mod BASSTUNE
module beat.mod BEATTUNE
module start.mod START
module zzz.mod ZZZTUNE

cat >"$work/keys.script" <<EOF1
key space
key d alt
wait 2
save $work/before.mod
key End
wait 2
shot $work/end.png
type ba
wait 2
shot $work/ba.png
save $work/typed.mod
key Return
wait 4
save $work/picked.mod
EOF1
expect_status 0 "$tetrad" --script "$work/keys.script" "$music/start.mod"

# The band's colour at the left end of list line N (y 44 + 7 N).
ink() { convert "$1" -format "%[hex:p{7,$((44 + 7 * $2 + 3))}]" info: 2>/dev/null; }
band=3A5FCC
[ "$(ink "$work/end.png" 7)" = $band ] || fail "after End the last line is not marked ($(ink "$work/end.png" 7))"
[ "$(ink "$work/end.png" 0)" != $band ] || fail "after End the first line is marked too"
[ "$(ink "$work/ba.png" 0)" = $band ] || fail "after 'ba' bass.mod is not marked on the first line"
[ "$(ink "$work/ba.png" 1)" != $band ] || fail "after 'ba' beat.mod is marked"
[ "$(ink "$work/ba.png" 7)" != $band ] || fail "after 'ba' the last line is still marked"
cmp -s "$work/before.mod" "$work/typed.mod" || fail "the letters typed on the disk op changed the module"
title=$(head -c 8 "$work/picked.mod")
[ "$title" = BASSTUNE ] || fail "Return loaded '$title', wanted BASSTUNE"
finish "disk op keys session"
