#!/usr/bin/env bash
# Drives the real window under a virtual X server, as a person at the
# keyboard would: loads a module, switches to edit mode, types six notes
# into channel 0, stops and goes back to row 0. The pattern view must then
# show exactly what the program's own headless screenshot shows for the
# module with those notes written in. Then it answers the quit question
# (Alt+Q, Y), starts again and ends it by SIGTERM, with and without unsaved
# work, and once more to see the window take a new scale from SETUP. With an output
# path it also keeps the window's picture after the notes are in.
#   tools/xvfb_session.sh path/to/tetrad module.mod [shot.png]
set -euo pipefail
tetrad=$1
module=$2
shot=${3:-}
source "$(dirname "$0")/xvfb_lib.bash"

# Q W E R T Y are c-3 d-3 e-3 f-3 g-3 a-3; they go to rows 0..5 of
# channel 0 of the first position's pattern with sample 1, effects kept.
periods=(214 190 170 160 143 127)
cp "$module" "$work/typed.mod"
pattern=$(od -An -tu1 -j952 -N1 "$module" | tr -d ' ')
for row in "${!periods[@]}"; do
  at=$((1084 + 1024 * pattern + 16 * row))
  read -r -a old < <(od -An -tu1 -j"$at" -N4 "$module")
  period=${periods[$row]}
  printf '%b' "$(printf '\\%03o\\%03o\\%03o' $((period >> 8)) $((period & 255)) $((16 | (old[2] & 15))))" |
    dd of="$work/typed.mod" bs=1 seek="$at" conv=notrunc status=none
done
"$tetrad" --screenshot "$work/expected.png" "$work/typed.mod" || die "no headless screenshot"
"$tetrad" --screenshot "$work/untyped.png" "$module" || die "no headless screenshot"

# Pixels that differ in the pattern view (rows 140..254) between two
# 320x255 pictures.
pattern_view_difference() {
  compare -metric AE -extract 320x115+0+140 "$1" "$2" null: 2>&1 || true
}
[ "$(pattern_view_difference "$work/expected.png" "$work/untyped.png")" != 0 ] ||
  die "the typed notes would not show in the pattern view"

start_xvfb
scale=1 start_program "$module"
press space            # edit mode
for key in q w e r t y; do press "$key"; done
press space            # stop: idle and silent, so no level meter moves
press F6               # back to row 0 (the first row mark)
xdotool mousemove --window "$window" 300 5
sleep 0.5
import -window "$window" "$work/live.png"
[ -n "$shot" ] && cp "$work/live.png" "$shot"
difference=$(pattern_view_difference "$work/live.png" "$work/expected.png")
[ "$difference" = 0 ] || die "the pattern view differs from the typed module in $difference pixels"

press alt+q            # "UNSAVED! QUIT ?": the notes are not saved
press y
expect_exit "Alt+Q, Y"

# SIGTERM from the desktop ends the program at once: cleanly with nothing
# unsaved, and with a note typed, keeping it in the autosave for the next
# start.
export XDG_STATE_HOME=$work/state
start_program "$module"
sleep 1
kill -0 "$program" 2>/dev/null || die "the program did not stay up"
kill -TERM "$program"
expect_exit "SIGTERM"
if [ -e "$XDG_STATE_HOME/tetrad/autosave.mod" ]; then die "an unchanged module left an autosave"; fi
start_program "$module"
press space
press q
press space
kill -TERM "$program"
expect_exit "SIGTERM with a note typed"
[ -s "$XDG_STATE_HOME/tetrad/autosave.mod" ] || die "SIGTERM did not keep the typed note in the autosave"
if cmp -s "$XDG_STATE_HOME/tetrad/autosave.mod" "$module"; then
  die "the autosave does not hold the note"
fi

# The window follows the setup screen at once: from the setting's 0, each
# click on the scale's up arrow gives the next scale, 1 to 3, and a window
# of 320, 640 and 960 pixels.
export XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/fresh-state
start_program "$module"
window_width() { xwininfo -id "$window" | awk '/Width:/ { print $2 }'; }
[ "$(window_width)" = 640 ] || die "the window started $(window_width) wide at scale 2"
click 270 5 # SETUP
for program_scale_next in 1 2 3; do
  click 313 18 # WINDOW SCALE up
  sleep 0.5
  program_scale=$program_scale_next
  [ "$(window_width)" = $((320 * program_scale)) ] ||
    die "scale $program_scale from SETUP gave a window $(window_width) wide"
done
press alt+q
press y
expect_exit "Alt+Q, Y after SETUP"
