#!/usr/bin/env bash
# The edit-op screen in scripted sessions on a new module: every transpose
# scope with KEEP and DELETE, the auto-insert effect, the split keyboard
# and quantized recording. Each edit's cells are read back from the saved
# module against values worked out from the note table, and Ctrl+U must
# give back the bytes saved before it.
set -u
source "$(dirname "$0")/lib.bash"

# Notes typed in edit mode: pattern 0, channel 0: C-3 B-3 C-2 (sample 1)
# and D-3 (sample 2) on rows 0-3, C-3 (sample 2) on row 4 of channel 1;
# E-3 (sample 1) on row 5 of pattern 1, which position 1 plays. Rows 1-2
# of channel 0 are copied as a block. The cursor ends on row 6, channel 0.
# (Stopped, the pattern view follows the position and its order entry.)
setup="key space
key q
key u
key z
key Right ctrl
key w
key Tab
key q
key Tab shift
key Left ctrl
click 103 27
click 103 5
click 103 16
key e
key Left alt
key Up
key Up
key Up
key Up
key Up
key b ctrl
key Down
key c ctrl
key Down
key Down
key Down
key Down
key e alt
wait 2"

BLOCK="click 90 18" TRACK="click 150 18" PATTERN="click 210 18" SONG="click 270 18"
SAMPLE="click 90 30" ALL="click 150 30" KEEP="click 90 42" DELETE="click 150 42"
SEMI_UP="click 40 62" SEMI_DOWN="click 120 62" OCT_UP="click 198 62"

# name | switches and operation | cells "pattern row channel=period sample effect param"
cases=(
  "track_keep|$TRACK $ALL $KEEP $SEMI_UP|0 0 0=202 1 0 0;0 1 0=113 1 0 0;0 2 0=404 1 0 0;0 3 0=180 2 0 0;0 4 1=214 2 0 0;1 5 0=170 1 0 0"
  "track_delete|$TRACK $ALL $DELETE $SEMI_UP|0 0 0=202 1 0 0;0 1 0=0 0 0 0;0 2 0=404 1 0 0;0 3 0=180 2 0 0;0 4 1=214 2 0 0"
  "pattern_sample_keep|$PATTERN $SAMPLE $KEEP $OCT_UP|0 0 0=214 1 0 0;0 1 0=113 1 0 0;0 2 0=214 1 0 0;0 3 0=190 2 0 0;0 4 1=214 2 0 0;1 5 0=170 1 0 0"
  "pattern_sample_delete|$PATTERN $SAMPLE $DELETE $OCT_UP|0 0 0=0 0 0 0;0 1 0=0 0 0 0;0 2 0=214 1 0 0;0 3 0=190 2 0 0;0 4 1=214 2 0 0;1 5 0=170 1 0 0"
  "song_keep|$SONG $ALL $KEEP $SEMI_DOWN|0 0 0=226 1 0 0;0 1 0=120 1 0 0;0 2 0=453 1 0 0;0 3 0=202 2 0 0;0 4 1=226 2 0 0;1 5 0=180 1 0 0"
  "song_delete|$SONG $ALL $DELETE $OCT_UP|0 0 0=0 0 0 0;0 1 0=0 0 0 0;0 2 0=214 1 0 0;0 3 0=0 0 0 0;0 4 1=0 0 0 0;1 5 0=0 0 0 0"
  "block_keep|$BLOCK $ALL $KEEP $OCT_UP|0 0 0=214 1 0 0;0 1 0=113 1 0 0;0 2 0=214 1 0 0;0 3 0=190 2 0 0"
  "block_delete|$BLOCK $ALL $DELETE $OCT_UP|0 0 0=214 1 0 0;0 1 0=0 0 0 0;0 2 0=214 1 0 0;0 3 0=190 2 0 0"
)

# The record page: effect C, parameter 20 (two right clicks step by 16),
# split range 3 (from C-3) playing sample 5 two semitones up.
RECORD_PAGE="click 30 5"
EFFECT_C=$(for ((i = 0; i < 12; i++)); do echo "click 141 42"; done)
PARAM_20="click 229 42 right
wait 1
click 229 42 right"
RANGE3=$(for ((i = 0; i < 5; i++)); do echo "click 80 90"; done; echo "click 126 90"; echo "click 126 90")
# Each case goes on from the switches the one before left.
record_cases=(
  "auto_effect_on|key i alt
key t|0 6 0=143 1 12 32"
  "auto_effect_off|key i alt
key t|0 6 0=143 1 0 0"
  "split_on|key s ctrl
key q|0 6 0=190 5 0 0"
  "split_unused_range|key z|0 6 0=428 1 0 0"
  "split_off|key s ctrl
key q|0 6 0=214 1 0 0"
)

script=$work/editop.script
{
  echo "$setup"
  echo "save $work/before.mod"
  for entry in "${cases[@]}" ; do
    IFS='|' read -r name edit _ <<<"$entry"
    echo "${edit// click/$'\n'click}"
    echo "wait 2"
    echo "save $work/$name.mod"
    echo "key u ctrl"
    echo "wait 2"
    echo "save $work/$name.undone.mod"
  done
  echo "$RECORD_PAGE"
  echo "$EFFECT_C"
  echo "$PARAM_20"
  echo "$RANGE3"
  echo "wait 2"
  for entry in "${record_cases[@]}"; do
    IFS='|' read -r name edit _ <<<"$(printf '%s' "$entry" | tr '\n' '\r')"
    printf '%s\n' "$edit" | tr '\r' '\n'
    echo "wait 2"
    echo "save $work/$name.mod"
    echo "key u ctrl"
    echo "wait 2"
    echo "save $work/$name.undone.mod"
    echo "key Up"  # the undo leaves the cursor on the row after the note
  done
} >"$script"
expect_status 0 "$tetrad" --script "$script"

check_cells() {
  local name=$1 cells=$2 cell want got
  IFS=';' read -r -a cell <<<"$cells"
  for c in "${cell[@]}"; do
    want=${c#*=}
    # shellcheck disable=SC2086
    got=$(cell_of "$work/$name.mod" ${c%%=*})
    [ "$got" = "$want" ] || fail "$name: cell ${c%%=*} is '$got', wanted '$want'"
  done
  cmp -s "$work/$name.undone.mod" "$work/before.mod" || fail "$name: Ctrl+U did not give back the bytes"
}
for entry in "${cases[@]}" "${record_cases[@]}"; do
  entry=$(printf '%s' "$entry" | tr '\n' '\r')
  check_cells "${entry%%|*}" "${entry##*|}"
done

# Quantize: the same recording twice, the note typed at the same moment,
# first unquantized, then to every 4th row: it must land on the multiple
# of 4 nearest to the row it fell on the first time (halves round up; row
# 64 is row 0 again while the pattern repeats).
record_note() {
  local quantize_clicks=$1 out=$2
  {
    echo "key e alt"
    echo "$RECORD_PAGE"
    echo "$quantize_clicks"
    echo "save $work/$out.before.mod"
    echo "key rshift"
    echo "wait 40"
    echo "key q"
    echo "key space"
    echo "wait 2"
    echo "save $work/$out.mod"
    echo "key u ctrl"
    echo "wait 2"
    echo "save $work/$out.undone.mod"
  } >"$work/$out.script"
  expect_status 0 "$tetrad" --script "$work/$out.script"
  cmp -s "$work/$out.undone.mod" "$work/$out.before.mod" || fail "$out: Ctrl+U did not give back the bytes"
}
note_row() {
  local r
  for ((r = 0; r < 64; r++)); do
    [ "$(cell_of "$1" 0 "$r" 0)" = "214 1 0 0" ] && echo "$r"
  done
}
record_note "" plain
record_note "click 237 18
click 237 18
click 237 18" quantized
plain_row=$(note_row "$work/plain.mod")
quantized_row=$(note_row "$work/quantized.mod")
if [ -z "$plain_row" ] || [ $((plain_row % 4)) = 0 ]; then
  fail "the unquantized note fell on row '$plain_row'; the test needs a row between multiples of 4"
else
  want=$((((plain_row + 2) / 4 * 4) % 64))
  echo "quantize: unquantized row $plain_row, quantized row $quantized_row"
  [ "$quantized_row" = "$want" ] || fail "quantized note on row '$quantized_row', wanted $want (unquantized $plain_row)"
fi
finish editop_session
