#!/usr/bin/env bash
# Ten different edits in one scripted session, each followed by a save;
# then undone one by one with Ctrl+U and redone with Shift+Ctrl+U, saving
# after every step. Each save after an undo must equal, byte for byte, the
# save made before that edit, and each save after a redo the one made
# after it. Every edit must really change the module.
set -u
source "$(dirname "$0")/lib.bash"

edits=(
  "key space
key q"                                  # a note (edit mode on)
  "key w"                               # a second note
  "key Up
key Delete"                           # the second note cleared
  "key Up
key Up
key Return shift"                     # a cell inserted above the first note
  "key F4 shift
key Tab
key F5 shift"                           # a track pasted onto the next channel
  "key 3 super"                         # the track transposed a semitone up
  "key space
click 103 16"                           # the order entry stepped up (edit mode off)
  "click 200 105
type X
key Return"                             # the song name
  "key s alt
drag 60 160 200 160
click 15 250"                           # a sample cut
  "click 114 60"                        # the sample's volume stepped down
)
count=${#edits[@]}
script=$work/undo.script
{
  echo "save $work/s0.mod"
  for ((i = 1; i <= count; i++)); do
    echo "${edits[i - 1]}"
    echo "wait 2"
    echo "save $work/s$i.mod"
  done
  for ((i = count - 1; i >= 0; i--)); do
    echo "key u ctrl"
    echo "wait 2"
    echo "save $work/u$i.mod"
  done
  for ((i = 1; i <= count; i++)); do
    echo "key u ctrl shift"
    echo "wait 2"
    echo "save $work/r$i.mod"
  done
} >"$script"
expect_status 0 "$tetrad" --script "$script" "$demo"

for ((i = 1; i <= count; i++)); do
  cmp -s "$work/s$((i - 1)).mod" "$work/s$i.mod" && fail "edit $i changed nothing"
done
for ((i = 0; i < count; i++)); do
  cmp -s "$work/u$i.mod" "$work/s$i.mod" || fail "undo back to state $i differs from it"
done
for ((i = 1; i <= count; i++)); do
  cmp -s "$work/r$i.mod" "$work/s$i.mod" || fail "redo to state $i differs from it"
done
finish undo_session
