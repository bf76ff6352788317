#!/usr/bin/env bash
# Drives the real window under a virtual X server, as a person at the
# keyboard would: loads a module, switches to edit mode, types a few notes,
# then answers the quit question (Alt+Q, Y); then starts it again and asks it
# to close. With an output path it also takes a
# screenshot of the window after the notes are in.
#   tools/xvfb_session.sh path/to/tetrad module.mod [shot.png]
set -euo pipefail
tetrad=$1
module=$2
shot=${3:-}
work=$(mktemp -d)
# The server picks a free display number and writes it to the file.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
export DISPLAY=:$(head -n 1 "$work/display")
# Leaks inside the X and SDL libraries are not ours to report.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}

start_program() {
  SDL_AUDIODRIVER=dummy "$tetrad" --scale 2 "$module" &
  program=$!
  window=""
  for _ in $(seq 200); do
    window=$(xdotool search --name '^Tetrad$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "no window appeared" >&2; exit 1; }
}

# Waits up to 10 s for the program to end by itself; fails if it does not
# or if it ends with an error.
expect_exit() {
  for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$program" 2>/dev/null; then
    kill -KILL "$program"
    echo "the program did not quit after $1" >&2
    exit 1
  fi
  wait "$program" || { echo "the program exited with status $? after $1" >&2; exit 1; }
}

start_program
xdotool windowfocus --sync "$window"
xdotool mousemove --window "$window" 400 300
sleep 0.5

# Each key is held for a few frames and let go for a few more, the way a
# person types; the program samples the keyboard once a frame.
press() {
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
  sleep 0.15
}
press space            # edit mode
for key in q w e r t y; do press "$key"; done
sleep 0.3
[ -n "$shot" ] && import -window "$window" "$shot"

press alt+q            # "REALLY QUIT ?"
press y
expect_exit "Alt+Q, Y"

# A close request from the desktop (SDL turns SIGTERM into the same quit
# event as the window's close button) ends the program cleanly, too.
start_program
sleep 1
kill -0 "$program" 2>/dev/null || { echo "the program did not stay up" >&2; exit 1; }
kill -TERM "$program"
expect_exit "a close request"
