#!/usr/bin/env bash
# The disk op in a scripted session: a path typed over the one shown (a
# missing folder kept out, "~" and a relative one taken), each row listing only what it loads
# until FILES shows everything, and a save under a typed name (Esc leaving
# nothing behind).
set -u
source "$(dirname "$0")/lib.bash"

export HOME=$work/home XDG_DATA_HOME=$work/data
music=$work/music
mkdir -p "$HOME/sub" "$music"
cp "$demo" "$music/été.mod"
head -c 300 /dev/zero | tr '\0' '\7' >"$music/snare"
: >"$music/pic.png"
# Another module in a folder below home, told apart by its name.
cp "$demo" "$HOME/sub/home.mod"
printf 'HOMETUNE\0\0\0\0\0\0\0\0\0\0\0\0' | dd of="$HOME/sub/home.mod" conv=notrunc status=none

path="click 100 38"
line() { echo "click 50 $((45 + 7 * $1))"; }
cat >"$work/disk.script" <<EOF1
key d alt
wait 2
click 150 27
$path
type $music
key Return
$path
type /no/such/folder
key Return
$(line 0)
key Right ctrl
click 250 38
$(line 0)
$(line 1)
wait 2
save $work/samples.mod
click 150 5
$path
type ~
key Return
$path
type sub
key Return
wait 2
$(line 0)
wait 2
save $work/home.mod
key d alt
wait 2
click 280 5
key Escape
click 280 5
key Right
type -v2
key Return
wait 2
key y
wait 4
EOF1
expect_status 0 "$tetrad" --script "$work/disk.script" "$music/été.mod"

# Sample lengths in words, from the headers of samples 1 and 2.
words() { echo $(($(mod_byte "$1" "$2") * 256 + $(mod_byte "$1" $(($2 + 1))))); }
# The typed path took the sample row to the music and the missing folder
# left it there. Filtered, line 0 is snare (into sample 1); with every file
# shown line 0 is the empty pic.png (refused) and line 1 snare.
[ "$(words "$work/samples.mod" 42) $(words "$work/samples.mod" 72)" = "150 150" ] ||
  fail "samples 1 and 2 hold $(words "$work/samples.mod" 42) and $(words "$work/samples.mod" 72) words, wanted 150 150"
# "~" and then "sub" (from the folder shown) led to home.mod.
[ "$(head -c 8 "$work/home.mod")" = "HOMETUNE" ] || fail "the typed path did not lead to home.mod"
# Esc saved nothing; the offered name, kept by a first key that is no
# character, took what was typed after it.
[ "$(ls "$HOME/sub")" = "$(printf 'home.mod\nmod.HOMETUNE-v2')" ] || fail "files in sub: $(ls "$HOME/sub" | tr '\n' ' ')"
cmp -s "$HOME/sub/mod.HOMETUNE-v2" "$work/home.mod" || fail "the module saved under the typed name differs"
finish diskop_session
