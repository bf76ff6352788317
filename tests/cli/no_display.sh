#!/usr/bin/env bash
# Without an X or Wayland display the interactive program says so in one
# line, points to the batch commands and exits 1, whatever the sound system.
set -u
source "$(dirname "$0")/lib.bash"

for module in "" "$demo"; do
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$tetrad" $module \
    >"$work/out" 2>"$work/err"
  status=$?
  [ "$status" -eq 1 ] || fail "exited $status without a display, wanted 1"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "wanted one line, got: $(cat "$work/err")"
  grep -q -- '--render' "$work/err" && grep -q -- '--screenshot' "$work/err" ||
    fail "the line does not point to --render and --screenshot: $(cat "$work/err")"
  [ ! -s "$work/out" ] || fail "printed on standard output: $(cat "$work/out")"
done

finish no_display
