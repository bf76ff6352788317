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
# BOOST, FILTER and REVERSE worked out from the bytes before them: values
# rounded with halves away from zero, clipped to -128..127.
formula() {
  awk -v tool="$1" '
    function round(v) { return v < 0 ? -int(-v + 0.5) : int(v + 0.5) }
    function clip(v) { return v > 127 ? 127 : v < -128 ? -128 : v }
    { x[NR - 1] = $1 }
    END {
      for (i = 0; i < NR; ++i) {
        before = i == 0 ? x[0] : x[i - 1]
        after = i == NR - 1 ? x[i] : x[i + 1]
        if (tool == "boost") print clip(round(x[i] + (x[i] - before) / 2))
        if (tool == "filter") print clip(round((before + 2 * x[i] + after) / 4))
        if (tool == "reverse") print x[NR - 1 - i]
      }
    }'
}
for check in 0:boost 1:filter 4:reverse; do
  i=${check%%:*}
  [ "$(sample_values "$work/before$i.mod" 1 | formula "${check#*:}")" = \
    "$(sample_values "$work/after$i.mod" 1)" ] || fail "${check#*:} gave other bytes than its formula"
done
cmp -s "$work/looped.mod" "$work/faded.mod" && fail "the loop crossfade changed nothing"
cmp -s "$work/looped.mod" "$work/unfaded.mod" || fail "undo after the crossfade differs"
finish tools_session
