#!/usr/bin/env bash
# The main screen's number fields typed in place, the wheel and a right
# click alone on an arrow, each in a scripted session that saves the module
# before and after the edit and again after Ctrl+U. The bytes the edit
# should have written are read from the saved file (song length at 950,
# order list at 952, sample n's header at 20 + 30 (n - 1): length words
# +22, finetune +24, volume +25, loop start and length words +26, +28);
# the save after the undo must equal the one before the edit.
set -u
source "$(dirname "$0")/lib.bash"

# The demo: 6 positions, order 0 1 2 1 2 3; sample 2 volume 46, sample 3
# 900 bytes without a loop, sample 4 576 bytes looping from 512 for 64. The
# sample chosen in one case stays chosen in the next.
samp() { echo "click 80 49
type $1
key Return"; }
edits=(
  "click 80 27
type 005
key Return"
  "click 80 27
type 999
key Return"
  "click 80 5
type 002
key Return
click 85 16
type 07
key Return"
  "$(samp 02)
click 80 60
type 2a
key Return"
  "$(samp 02)
click 80 60
type 7f
key Return"
  "click 80 38
type -3
key Return"
  "click 80 38
type +9
key Return"
  "$(samp 04)
click 80 82
type 0101
key Return"
  "$(samp 04)
click 80 93
type 0020
key Return"
  "$(samp 03)
click 80 93
type 0400
key Return"
  "$(samp 03)
click 80 71
type 0100
key Return"
  "click 80 27
type 009
key Escape"
  "click 80 27
type 010
click 200 240"
  "click 80 27
click 90 27
type 9
key Return"
  "$(samp 01)
wheel 80 60 -1"
  "click 114 60 right"
  "click 103 27 right"
  "$(samp 0a)
click 80 60
type 10
key Return"
)
# offset: the bytes wanted there, in decimal; "same" for no change at all.
wants=(
  "950: 5" "950: 128" "954: 7" "75: 42" "75: 64" "74: 13" "74: 7" "136: 0 128" "138: 0 16"
  "108: 1 194" "102: 0 128" "same" "950: 10" "950: 9" "45: 63" "45: 48" "950: 16" "315: 16"
)
count=${#edits[@]}
[ "$count" -eq "${#wants[@]}" ] || fail "the tables differ in length"
script=$work/typed.script
{
  for ((i = 0; i < count; i++)); do
    echo "save $work/b$i.mod"
    echo "${edits[i]}"
    echo "wait 2"
    echo "save $work/a$i.mod"
    echo "key u ctrl"
    echo "wait 2"
    echo "save $work/u$i.mod"
  done
} >"$script"
expect_status 0 "$tetrad" --script "$script" "$demo"

for ((i = 0; i < count; i++)); do
  want=${wants[i]}
  cmp -s "$work/u$i.mod" "$work/b$i.mod" || fail "case $i: undo does not give back the bytes"
  if [ "$want" = same ]; then
    cmp -s "$work/a$i.mod" "$work/b$i.mod" || fail "case $i changed the module"
    continue
  fi
  offset=${want%%:*}
  bytes=(${want#*:})
  got=$(od -An -tu1 -j "$offset" -N "${#bytes[@]}" "$work/a$i.mod" | xargs)
  [ "$got" = "${bytes[*]}" ] || fail "case $i: bytes at $offset are '$got', wanted '${bytes[*]}'"
done

# While stopped the pattern view follows the song position and its order
# entry, through an undo too: after stepping to position 1, typing pattern
# 3 there and taking that back, a note lands in pattern 1 (order[1]).
cat >"$work/follow.script" <<EOF
save $work/f0.mod
click 103 5
click 85 16
type 03
key Return
key u ctrl
key space
key q
wait 2
save $work/f1.mod
EOF
expect_status 0 "$tetrad" --script "$work/follow.script" "$demo"
cell() { od -An -tx1 -j "$2" -N 4 "$1" | xargs; }
[ "$(cell "$work/f0.mod" 2108)" != "$(cell "$work/f1.mod" 2108)" ] ||
  fail "the note did not land in pattern 1"
for pattern in 0 3; do
  [ "$(cell "$work/f0.mod" $((1084 + 1024 * pattern)))" = \
    "$(cell "$work/f1.mod" $((1084 + 1024 * pattern)))" ] || fail "the note landed in pattern $pattern"
done

# A click on a cell moves the cursor there (channel 3's effect, row 3);
# the wheel turned towards the user moves it two rows down. A digit typed
# in edit mode lands in each (cells are 4 bytes, rows 16, pattern 0 at
# 1084; the effect is the low half of a cell's third byte).
cat >"$work/cell.script" <<EOF
key space
click 218 217
key 5
wheel 150 217 -2
key 7
wait 2
save $work/c1.mod
EOF
expect_status 0 "$tetrad" --script "$work/cell.script" "$demo"
effect() { echo $(($(od -An -tu1 -j "$1" -N 1 "$work/c1.mod") & 15)); }
[ "$(effect 1142)" = 5 ] || fail "the clicked cell has effect $(effect 1142), wanted 5"
[ "$(effect 1190)" = 7 ] || fail "the cell two rows on has effect $(effect 1190), wanted 7"
finish typed_fields
