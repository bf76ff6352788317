#!/usr/bin/env bash
# The position editor in a scripted session on the demo: a line picked by a
# click, then Insert and the INS button (a copy of the line), Delete and the
# DEL button, a typed pattern number and the arrow beside a line. The saved
# order list and song length must follow the rules, and Ctrl+U must give
# back the bytes saved before each edit.
set -u
source "$(dirname "$0")/lib.bash"

line_y() { echo $((24 + 8 * $1 + 3)); }

# name | the edit, with the editor open on position 2
cases=(
  "insert_key|key Insert"
  "insert_button|click 15 16"
  "delete_key|key Delete"
  "delete_button|click 45 16"
  "typed|key 4
key 2"
  "typed_return|key 7
key Return"
  "arrow_up|click 60 $(line_y 1)"
  "arrow_down_right|click 70 $(line_y 3) right"
)
script=$work/positions.script
{
  echo "click 20 5"
  echo "click 10 $(line_y 2)"
  echo "wait 2"
  echo "save $work/before.mod"
  for entry in "${cases[@]}"; do
    name=${entry%%|*}
    echo "${entry#*|}"
    echo "wait 2"
    echo "save $work/$name.mod"
    echo "key u ctrl"
    echo "wait 2"
    echo "save $work/$name.undone.mod"
  done
  # Esc closes the editor: a digit then goes back to the keyboard handler.
  echo "key Escape"
  echo "wait 2"
  echo "key 5"
  echo "wait 2"
  echo "save $work/closed.mod"
} >"$script"
expect_status 0 "$tetrad" --script "$script" "$demo"

before=$work/before.mod
length=$(song_length_of "$before")
[ "$length" -ge 5 ] || fail "the demo's song is too short for this test ($length)"
for ((p = 0; p < 128; p++)); do order[p]=$(order_of "$before" "$p"); done

# The order list a case must leave, worked out from the rules.
expected_order() {
  local name=$1 p
  local -a o=("${order[@]}")
  case $name in
    insert_*) o=("${o[@]:0:3}" "${o[@]:2:125}") ;;
    delete_*) o=("${o[@]:0:2}" "${o[@]:3:125}" 0) ;;
    typed) o[2]=42 ;;
    typed_return) o[2]=7 ;;
    arrow_up) o[1]=$((o[1] + 1)) ;;
    arrow_down_right) o[3]=$((o[3] >= 10 ? o[3] - 10 : 0)) ;;
  esac
  echo "${o[@]}"
}
expected_length() {
  case $1 in
    insert_*) echo $((length + 1)) ;;
    delete_*) echo $((length - 1)) ;;
    *) echo "$length" ;;
  esac
}

for entry in "${cases[@]}"; do
  name=${entry%%|*}
  saved=$work/$name.mod
  got_order=()
  for ((p = 0; p < 128; p++)); do got_order[p]=$(order_of "$saved" "$p"); done
  [ "${got_order[*]}" = "$(expected_order "$name")" ] ||
    fail "$name: order ${got_order[*]:0:10}..., wanted $(expected_order "$name" | cut -d' ' -f1-10)..."
  [ "$(song_length_of "$saved")" = "$(expected_length "$name")" ] ||
    fail "$name: song length $(song_length_of "$saved"), wanted $(expected_length "$name")"
  cmp -s "$work/$name.undone.mod" "$before" || fail "$name: Ctrl+U did not give back the bytes"
done
# With the editor closed, 5 is a note key again: no order entry changes.
[ "$(order_of "$work/closed.mod" 2)" = "${order[2]}" ] || fail "a digit still typed after Esc"
finish position_session
