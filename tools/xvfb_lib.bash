# Shared by the scripted window sessions: a virtual X server, the program
# under test, typed keys and mouse clicks. Whatever way a session ends, the
# program and the server are killed and the scratch directory goes, so a
# failing check can never leave a window behind for ctest to wait on.
#   source tools/xvfb_lib.bash; start_xvfb; start_program ARGS...; ...
work=$(mktemp -d)
xvfb=""
program=""

# Each step may fail (the process may be gone already); none may stop the
# others, whatever errexit says.
cleanup() {
  if [ -n "$program" ]; then kill -KILL "$program" 2>/dev/null || true; fi
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# Says what failed, with what the X server said, if anything.
die() {
  echo "$*" >&2
  [ -s "$work/xvfb.log" ] && sed 's/^/Xvfb: /' "$work/xvfb.log" >&2
  exit 1
}

# The server picks a free display number and writes it to the file.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || die "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=:$(head -n 1 "$work/display")
  # Leaks inside the X and SDL libraries are not ours to report.
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
}

# Starts the program at scale $scale (default 2: window pixel = 2 x screen
# pixel) and waits for its window; the arguments go to the program.
start_program() {
  # A program whose window does not appear is started again, up to three
  # times: the X server can refuse a client just after it starts.
  local attempt
  for attempt in 1 2 3; do
    program_scale=${scale:-2}
    SDL_AUDIODRIVER=dummy "$tetrad" --scale "$program_scale" "$@" 2>"$work/program.err" &
    program=$!
    window=""
    for _ in $(seq 200); do
      window=$(xdotool search --name '^[*]?Tetrad( - |$)' 2>/dev/null | head -n 1) &&
        [ -n "$window" ] && break
      kill -0 "$program" 2>/dev/null || break
      sleep 0.1
    done
    [ -n "$window" ] && break
    kill -KILL "$program" 2>/dev/null || true
    echo "attempt $attempt: the program ended before its window appeared: $(cat "$work/program.err")" >&2
    sleep 0.5
  done
  [ -n "$window" ] || die "no window appeared"
  xdotool windowfocus --sync "$window"
  xdotool mousemove --window "$window" 400 300
  sleep 0.5
}

# Waits up to 10 s for the program to end by itself; fails if it does not
# or if it ends with an error.
expect_exit() {
  for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program" 2>/dev/null && die "the program did not quit after $1"
  local status=0
  wait "$program" || status=$?
  program=""
  [ "$status" -eq 0 ] || die "the program exited with status $status after $1"
}

# The program samples keys and buttons once a frame, so a press that both
# starts and ends while a frame is late (a file being read or written) is
# never seen. Waits until the program draws again: its pointer, drawn into
# the picture, is moved between two spots on the labels at the top left and
# the picture there must change (10 s at most).
pointer_spot=0
frame_drawn() {
  local s=${program_scale:-2}
  local crop="$((40 * s))x$((20 * s))+0+0" before
  before=$(import -window "$window" -crop "$crop" rgb:- | md5sum)
  pointer_spot=$((20 - pointer_spot))
  xdotool mousemove --window "$window" $(((pointer_spot + 2) * s)) $((4 * s))
  for _ in $(seq 200); do
    [ "$(import -window "$window" -crop "$crop" rgb:- | md5sum)" != "$before" ] && return 0
    sleep 0.05
  done
  die "the program drew no frame for 10 s"
}

# Each key is held for a few frames and let go for a few more, the way a
# person types, once the program is drawing.
press() {
  frame_drawn
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
  sleep 0.15
}

# Clicks the left (1) or right (3) button at screen pixel X,Y of the
# 320x255 picture, once the program is drawing.
click() {
  frame_drawn
  xdotool mousemove --window "$window" $(($1 * program_scale + 1)) $(($2 * program_scale + 1))
  sleep 0.1
  xdotool mousedown "${3:-1}"
  sleep 0.15
  xdotool mouseup "${3:-1}"
  sleep 0.2
}
