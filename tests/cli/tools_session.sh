#!/usr/bin/env bash
# The sample editor's processing buttons and the sample tools page, pressed
# in a scripted session on the demo's first sample: each must change the
# module, and Ctrl+U must give back the bytes saved before it.
set -u
source "$(dirname "$0")/lib.bash"

# name | what is pressed
steps=(
  "boost|click 115 250"
  "filter|click 155 250"
  "volume|click 200 238
click 166 155
click 166 155
click 190 167"
  "resample|click 300 250
key z
click 210 250"
  "reverse|key e alt
click 30 5
click 30 5
click 30 18"
  "fade_in|click 90 18"
  "fade_out|click 160 18"
  "remove_dc|click 240 18"
  "echo|click 160 30"
  "mix|click 30 42"
  "chord|click 30 54"
  "half_rate|click 40 66"
  "double_rate|click 120 66"
  "pattern_to_sample|click 230 66"
)
script=$work/tools.script
{
  echo "key s alt"
  for i in "${!steps[@]}"; do
    echo "save $work/before$i.mod"
    echo "${steps[i]#*|}"
    echo "wait 2"
    echo "save $work/after$i.mod"
    echo "key u ctrl"
    echo "wait 2"
    echo "save $work/undone$i.mod"
  done
  # The loop crossfade wants bytes before its loop: LOOP in the sample
  # editor, the loop 16 bytes shorter and 2 bytes later, then X-FADE.
  printf 'key Escape\nclick 280 227\nclick 114 93 right\nclick 103 82\nkey e alt\n'
  printf 'wait 2\nsave %s/looped.mod\nclick 30 30\nwait 2\n' "$work"
  printf 'save %s/faded.mod\nkey u ctrl\nwait 2\nsave %s/unfaded.mod\n' "$work" "$work"
} >"$script"
expect_status 0 "$tetrad" --script "$script" "$demo"
for i in "${!steps[@]}"; do
  name=${steps[i]%%|*}
  cmp -s "$work/before$i.mod" "$work/after$i.mod" && fail "$name changed nothing"
  cmp -s "$work/before$i.mod" "$work/undone$i.mod" || fail "undo after $name differs"
done
cmp -s "$work/looped.mod" "$work/faded.mod" && fail "the loop crossfade changed nothing"
cmp -s "$work/looped.mod" "$work/unfaded.mod" || fail "undo after the crossfade differs"
finish tools_session
