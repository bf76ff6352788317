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

# PACK and the song switch, on the demo with pattern 5 typed into position
# 0: patterns 0 and 4 are then never played.
songs=$work/songs
mkdir -p "$songs" "$work/config/tetrad"
cp "$demo" "$songs/demo.mod"
printf '[dirs]\nlibrary = %s\n' "$work/lib" >"$work/config/tetrad/tetrad.ini"
save_song="click 280 16
key Return
wait 2
key y
wait 4"
cat >"$work/pack.script" <<EOF1
click 20 5
click 10 27
key 0
key 5
key Escape
wait 2
save $work/plain.mod
key d alt
wait 2
click 100 5
save $work/packed.mod
click 100 5
save $work/plain-again.mod
$save_song
click 100 16
EOF1
XDG_CONFIG_HOME=$work/config expect_status 0 "$tetrad" --script "$work/pack.script" "$songs/demo.mod"
plain=$work/plain.mod
from() { tail -c +$(($2 + 1)) "$1" | head -c "$3"; }
{
  head -c 952 "$plain"
  printf '\003\000\001\000\001\002'
  head -c 122 /dev/zero
  from "$plain" 1080 4
  for p in 1 2 3 5; do from "$plain" $((1084 + p * 1024)) 1024; done
  tail -c +$((1084 + 6 * 1024 + 1)) "$plain"
} >"$work/expected-packed.mod"
cmp -s "$work/packed.mod" "$work/expected-packed.mod" || fail "the packed module's bytes are not as worked out"
cmp -s "$plain" "$work/plain-again.mod" || fail "PACK changed the module in memory"
# The song's six samples went to the library as raw bytes, as in the module.
offset=$((1084 + 6 * 1024))
for entry in kick:2400 snare:2600 hihat:900 bass:576 lead:288 chord:288; do
  name=${entry%%:*} bytes=${entry#*:}
  cmp -s "$work/lib/$name" <(from "$plain" "$offset" "$bytes") || fail "library sample $name is not its bytes"
  offset=$((offset + bytes))
done
[ -f "$songs/tetrad demo" ] || fail "the song was not saved"
# With the switch off only the song is written.
rm -r "$work/lib"
cat >"$work/song-off.script" <<EOF1
key d alt
wait 2
click 100 16
$save_song
EOF1
XDG_CONFIG_HOME=$work/config expect_status 0 "$tetrad" --script "$work/song-off.script" "$songs/demo.mod"
[ -e "$work/lib" ] && fail "the song switch off still wrote samples"
finish diskop_session
