#!/usr/bin/env bash
# Drives the sample editor in the real window with the mouse, as a person
# would: opens it, picks sample 4, drags a range across the waveform, cuts
# it, pastes it back at another place, and quits. Checks what the window
# shows after each step: the marked band, a shorter sample after the cut,
# the old length but a different waveform after the paste. With an output
# path it also keeps a screenshot of the marked range.
#   tools/xvfb_sampler.sh path/to/tetrad module.mod [shot.png]
set -euo pipefail
tetrad=$1
module=$2
shot=${3:-}
source "$(dirname "$0")/xvfb_lib.bash"

# A checksum of the screen rectangle X Y W H (screen pixels), taken with the
# pointer parked where it covers nothing that is compared.
region() {
  xdotool mousemove --window "$window" 620 200
  sleep 0.3
  import -window "$window" -crop "$(($3 * 2))x$(($4 * 2))+$(($1 * 2))+$(($2 * 2))" +repage \
    rgb:- | md5sum | cut -d' ' -f1
}
waveform() { region 3 138 314 64; }
length_field() { region 64 69 32 8; }

# Presses at screen pixel (X0, Y) and lets go at (X1, Y), moving in steps
# that the program sees frame by frame.
drag() {
  xdotool mousemove --window "$window" $(($1 * 2 + 1)) $(($3 * 2 + 1))
  sleep 0.1
  xdotool mousedown 1
  sleep 0.2
  for x in $(seq "$1" 10 "$2") "$2"; do
    xdotool mousemove --window "$window" $((x * 2 + 1)) $(($3 * 2 + 1))
    sleep 0.05
  done
  sleep 0.2
  xdotool mouseup 1
  sleep 0.2
}

start_xvfb
start_program "$module"
click 274 38                       # SAMPLER
for _ in 1 2 3; do click 103 49; done  # sample number up, to 4
wave_before=$(waveform)
length_before=$(length_field)

drag 40 260 170                    # mark a range
[ "$(waveform)" != "$wave_before" ] || die "the dragged range is not shown"
[ -n "$shot" ] && import -window "$window" "$shot"

click 15 250                       # CUT
[ "$(length_field)" != "$length_before" ] || die "the cut did not shorten the sample"
click 250 170                      # a cursor elsewhere
click 80 250                       # PASTE
[ "$(length_field)" = "$length_before" ] || die "the paste did not give the length back"
[ "$(waveform)" != "$wave_before" ] || die "the pasted bytes are not in another place"

press alt+q
press y
expect_exit "Alt+Q, Y"
