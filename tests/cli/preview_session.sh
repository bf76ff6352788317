#!/usr/bin/env bash
# Hearing a sample before loading it, in a scripted session: a right click
# on a sample file in the disk op sounds on the cursor channel's side only
# (channel 1 left, channel 2 right), a file that does not decode silences
# it, a left click in the list and the play and stop commands end it, a
# preset sounds the same way (and stops when one is loaded), and the module saved afterwards is the one
# loaded, byte for byte.
set -u
source "$(dirname "$0")/lib.bash"

export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
music=$work/music
mkdir -p "$HOME" "$music/sub" "$XDG_CONFIG_HOME/tetrad" "$work/lib"
# A square wave of +-100, long enough to outlast every wait below.
printf '\144\144\234\234%.0s' $(seq 8000) >"$music/square"
: >"$music/void.raw"
cp "$music/square" "$work/lib/tone"
printf '[dirs]\nlibrary = %s\n' "$work/lib" >"$XDG_CONFIG_HOME/tetrad/tetrad.ini"
printf '[tone]\ncomment = square\n' >"$XDG_CONFIG_HOME/tetrad/presets.ini"

# The list: sub (a folder) on line 0, square on 1, void.raw on 2.
line() { echo "click 50 $((45 + 7 * $1)) ${2-}"; }
cat >"$work/preview.script" <<EOF1
save $work/before.mod
key d alt
wait 2
click 150 27
click 100 38
type $music
key Return
wait 2
listen $work/none.wav
$(line 1 right)
wait 20
listen $work/channel1.wav
key Tab
$(line 1 right)
wait 2
listen $work/skip.wav
wait 10
listen $work/channel2.wav
$(line 2 right)
wait 2
listen $work/skip.wav
wait 10
listen $work/refused.wav
$(line 1 right)
wait 5
$(line 0)
wait 2
listen $work/skip.wav
wait 10
listen $work/left_click.wav
key Escape
click 270 16
wait 2
click 100 17 right
wait 20
listen $work/preset.wav
key ralt
wait 2
key space
wait 2
listen $work/skip.wav
wait 10
listen $work/stopped.wav
save $work/after.mod
key Escape
click 270 16
wait 2
click 100 17 right
wait 5
click 100 17
wait 2
listen $work/skip.wav
wait 10
listen $work/preset_loaded.wav
EOF1
expect_status 0 "$tetrad" --script "$work/preview.script" "$demo"

# The loudest value of each side of a 16-bit stereo WAV: "LEFT RIGHT".
peaks() {
  local at
  at=$(grep -obUa data "$1" | head -1 | cut -d: -f1)
  od -An -v -td2 -w4 -j $((at + 8)) "$1" |
    awk '{ l = $1 < 0 ? -$1 : $1; r = $2 < 0 ? -$2 : $2; if (l > L) L = l; if (r > R) R = r }
         END { print L + 0, R + 0 }'
}
# Byte 100 at full volume on a hard-panned channel: 100 x 64 x 255 / 128
# = 12750 on its side (15/16 of it on the right, 1/16 leaking left).
expect_peaks() {
  local got
  got=$(peaks "$work/$1.wav")
  [ "$got" = "$2" ] || fail "$1: peaks (left right) $got, wanted $2"
}
expect_peaks none "0 0"
expect_peaks channel1 "12750 0"
expect_peaks channel2 "796 11953"
expect_peaks refused "0 0"
expect_peaks left_click "0 0"
expect_peaks preset "796 11953"
expect_peaks stopped "0 0"
expect_peaks preset_loaded "0 0"
cmp -s "$work/before.mod" "$work/after.mod" || fail "the module changed"
finish preview_session
