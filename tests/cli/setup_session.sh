#!/usr/bin/env bash
# The setup screen in scripted sessions: settings changed by arrows,
# switches and typed numbers, saved, read back at the next start and saved
# again unchanged; a hand-edited file with bad lines starting the program
# with the rest; RESET after its question; a settings folder that cannot be
# made never stopping the program.
set -u
source "$(dirname "$0")/lib.bash"

# Where a line's value field and arrows answer (line 0..13, two columns of 7).
at() {
  local line=$1 dx=$2
  echo "$((line / 7 * 160 + dx)) $((13 + line % 7 * 12 + 5))"
}
value() { echo "click $(at "$1" 90)${2:+ $2}"; }
down() { echo "click $(at "$1" 142)${2:+ $2}"; }
up() { echo "click $(at "$1" 153)${2:+ $2}"; }
typed() {
  value "$1"
  for ((i = 0; i < ${#2}; i++)); do echo "key ${2:i:1}"; done
  echo "key Return"
}
open_setup="click 270 5
wait 2"
save_setup="click 20 5
wait 2"

session() {  # config folder, script file, then the script's lines on stdin
  cat >"$2"
  XDG_CONFIG_HOME=$1 expect_status 0 "$tetrad" --script "$2" "$demo"
}

config=$work/one
session "$config" "$work/change.script" <<EOF1
$open_setup
$(up 0)
$(up 0 right)
$(value 1)
$(value 2)
key 4
key 5
key BackSpace
key 7
key Return
$(down 3)
$(typed 3 123456)
$(down 4 right)
$(down 4)
$(value 5)
$(value 7)
$(value 7)
$(down 8 right)
$(down 8)
$(up 9)
$(up 9)
$(up 9)
$(value 10)
$(value 11)
$(up 12)
$(up 12)
$(value 13)
wait 2
$save_setup
save $work/a.mod
save $work/a.mod
EOF1
ini=$config/tetrad/tetrad.ini
# What each change gives, worked out by hand from the defaults.
want="autosave_seconds = 190|backups = 0|repeat_delay_ms = 47|import_rate = 12345|transpose = -13|\
velocity = 1|input = |model = a1200|separation = 89|rate = 96000|clock = ntsc|stereo = mono|\
scale = 2|fullscreen = 1|library = "
got=$(grep -v '^[;[]' "$ini" | grep . | paste -sd'|')
[ "$got" = "$want" ] || fail "saved settings: $got, wanted $want"
[ -e "$work/a.mod.bak" ] && fail "a save kept a backup with backups off at once"

# The next start reads every value back: saved again, the file is the same.
cp "$ini" "$work/first.ini"
session "$config" "$work/again.script" <<<"$open_setup
$save_setup"
cmp -s "$ini" "$work/first.ini" || fail "the settings read back differ: $(diff "$ini" "$work/first.ini")"

# RESET asks; a yes gives the defaults, which a fresh start writes too.
session "$config" "$work/reset.script" <<<"$open_setup
click 70 5
wait 2
key Return
wait 2
$save_setup
save $work/b.mod
save $work/b.mod"
session "$work/fresh" "$work/fresh.script" <<<"$open_setup
$save_setup"
cmp -s "$ini" "$work/fresh/tetrad/tetrad.ini" || fail "RESET did not give the defaults"
grep -qx "autosave_seconds = 120" "$ini" || fail "the default autosave is not 120"
[ -e "$work/b.mod.bak" ] || fail "no backup kept with backups back on"

# A hand-edited file: each bad line is named, the rest applies.
mkdir -p "$work/hand/tetrad"
printf '; mine\n[safety]\nautosave_seconds = 100000\nbackups = maybe\n[keyboard]\nrepeat_delay_ms = 120\ncolour = red\n' \
  >"$work/hand/tetrad/tetrad.ini"
session "$work/hand" "$work/hand.script" <<<"$open_setup
$save_setup"
for line in "3: clamped" "4: bad value" "7: unknown key"; do
  grep -q "tetrad.ini:$line" "$work/err" || fail "no complaint '$line' ($(cat "$work/err"))"
done
got=$(grep -E '^(autosave_seconds|backups|repeat_delay_ms) ' "$work/hand/tetrad/tetrad.ini" | paste -sd'|')
[ "$got" = "autosave_seconds = 86400|backups = 1|repeat_delay_ms = 120" ] ||
  fail "hand-edited settings gave $got"

# A settings folder that cannot be made: the program runs on.
touch "$work/not-a-folder"
session "$work/not-a-folder" "$work/blocked.script" <<<"$open_setup
$save_setup"
finish setup_session
