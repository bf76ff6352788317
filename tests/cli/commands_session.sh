#!/usr/bin/env bash
# The track and block commands, Alt+K and keypad Del driven by keys in a
# scripted session: each must change the module and Ctrl+U must give back
# the bytes saved before it. Then Alt+Y saves every sample, asking before
# it replaces a file.
set -u
source "$(dirname "$0")/lib.bash"

# Setup: a block of rows 0..3 of the first track is copied; the cursor ends
# on row 3.
commands=("w ctrl" "e ctrl" "o ctrl" "t ctrl" "y ctrl" "i ctrl" "h ctrl" "l ctrl" "k ctrl"
  "k alt" "KP_Decimal")
script=$work/commands.script
{
  echo "key b ctrl"
  printf 'key Down\n%.0s' 1 2 3
  echo "key c ctrl"
  for i in "${!commands[@]}"; do
    echo "save $work/before$i.mod"
    echo "key ${commands[i]}"
    # Keypad Del asks first.
    [ "${commands[i]}" = KP_Decimal ] && printf 'wait 2\nkey y\n'
    echo "wait 2"
    echo "save $work/after$i.mod"
    echo "key u ctrl"
    echo "wait 2"
    echo "save $work/undone$i.mod"
  done
  # Ctrl+Z after an effect was typed: the effect column goes back.
  printf 'key space\nkey Right\nkey Right\nkey Right\nkey c\nwait 2\nsave %s/typed.mod\n' "$work"
  printf 'key z ctrl\nwait 2\nsave %s/restored.mod\n' "$work"
} >"$script"
export XDG_DATA_HOME=$work/data
expect_status 0 "$tetrad" --script "$script" "$demo"
for i in "${!commands[@]}"; do
  cmp -s "$work/before$i.mod" "$work/after$i.mod" && fail "${commands[i]} changed nothing"
  cmp -s "$work/before$i.mod" "$work/undone$i.mod" || fail "undo after ${commands[i]} differs"
done
cmp -s "$work/typed.mod" "$work/before0.mod" && fail "the effect digit changed nothing"
cmp -s "$work/restored.mod" "$work/before0.mod" || fail "Ctrl+Z did not restore the effects"

# Every sample with data is saved under its name; a second round asks
# about each existing file: N keeps it, Y replaces it and keeps the old
# one as .bak.
samples=$work/data/tetrad/Samples
printf 'key y alt\nwait 2\nkey y\nwait 2\n' >"$work/saveall.script"
expect_status 0 "$tetrad" --script "$work/saveall.script" "$demo"
saved=$(ls "$samples" | wc -l)
[ "$saved" -ge 2 ] || fail "save all wrote $saved files"
for f in "$samples"/*; do printf 'x' >"$f"; done
printf 'key y alt\nwait 2\nkey y\nwait 2\nkey n\nwait 2\n' >"$work/saveall2.script"
for ((k = 1; k < saved; k++)); do printf 'key y\nwait 2\n' >>"$work/saveall2.script"; done
expect_status 0 "$tetrad" --script "$work/saveall2.script" "$demo"
kept=$(grep -lx x "$samples"/* | grep -vc '\.bak$')
backups=$(ls "$samples" | grep -c '\.bak$')
[ "$kept" -eq 1 ] && [ "$backups" -eq $((saved - 1)) ] ||
  fail "after N once and Y: $kept files kept, $backups backups of $saved"
finish commands_session
