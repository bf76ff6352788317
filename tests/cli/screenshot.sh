#!/usr/bin/env bash
# Headless screenshots: a PNG of the whole screen, a deterministic replay,
# a warning for a bad settings line, and a clear refusal when the GUI images
# are missing.
set -u
source "$(dirname "$0")/lib.bash"

# Width and height from the PNG header, bytes 16..23.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $3*256+$4 "x" $7*256+$8}'; }

"$tetrad" --screenshot "$work/stopped.png" "$demo" || fail "stopped screenshot exited $?"
[ "$(png_size "$work/stopped.png")" = "320x255" ] || fail "stopped screenshot is $(png_size "$work/stopped.png")"

"$tetrad" --screenshot "$work/a.png" --play --frames 120 "$demo" || fail "playing screenshot exited $?"
"$tetrad" --screenshot "$work/b.png" --play --frames 120 "$demo" || fail "second playing screenshot exited $?"
cmp -s "$work/a.png" "$work/b.png" || fail "two runs of the same frames gave different pictures"
cmp -s "$work/a.png" "$work/stopped.png" && fail "120 frames of play look the same as a stopped screen"

# A settings line that cannot be read is named on standard error, once, and
# the program goes on. The file is under XDG_CONFIG_HOME when that is an
# absolute path, else under HOME.
mkdir -p "$work/config/tetrad" "$work/home/.config/tetrad"
printf '[safety]\nbackups = 0\nbackups = maybe\n' >"$work/config/tetrad/tetrad.ini"
printf '[keyboard]\nrepeat_delay_ms = 30\nbackups = 1\n' >"$work/home/.config/tetrad/tetrad.ini"
for config in "$work/config" relative; do
  XDG_CONFIG_HOME=$config HOME=$work/home "$tetrad" --screenshot "$work/set.png" "$demo" \
    2>"$work/err" || fail "with a bad settings line the program exited $?"
  want="tetrad: $work/config/tetrad/tetrad.ini:3: bad value 'maybe' for backups (0..1)"
  [ "$config" = relative ] &&
    want="tetrad: $work/home/.config/tetrad/tetrad.ini:3: unknown key 'backups' in [keyboard]"
  [ "$(cat "$work/err")" = "$want" ] || fail "settings warning: $(cat "$work/err")"
done

# A copy of the program without its data directory.
mkdir "$work/bare"
cp "$tetrad" "$work/bare/tetrad"
"$work/bare/tetrad" --screenshot "$work/none.png" "$demo" >"$work/out" 2>"$work/err"
status=$?
[ "$status" -eq 1 ] || fail "without images the program exited $status, wanted 1"
grep -q "cannot load image" "$work/err" || fail "no message naming the missing image: $(cat "$work/err")"
[ -e "$work/none.png" ] && fail "a screenshot was written without images"

finish screenshot
