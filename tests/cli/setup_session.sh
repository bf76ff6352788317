#!/usr/bin/env bash
# The setup screen in scripted sessions: settings on each page changed by
# arrows, switches, typed numbers (one below zero) and typed text, acting at
# once (the disk op's folders and sample format), saved, read back at the
# next start and saved again unchanged; a hand-edited file with bad lines starting the program
# with the rest; RESET after its question; a settings folder that cannot be
# made never stopping the program.
set -u
source "$(dirname "$0")/lib.bash"

# Where a place's value field and arrows answer (place 0..13 of a page, two
# columns of 7), and where each page's tab is.
at() {
  local place=$1 dx=$2
  echo "$((place / 7 * 160 + dx)) $((13 + place % 7 * 12 + 5))"
}
value() { echo "click $(at "$1" 90)${2:+ $2}"; }
down() { echo "click $(at "$1" 142)${2:+ $2}"; }
up() { echo "click $(at "$1" 153)${2:+ $2}"; }
typed() {
  value "$1"
  for ((i = 0; i < ${#2}; i++)); do echo "key ${2:i:1}"; done
  echo "key Return"
}
page() { echo "click $((124 + 49 * $1)) 5"; }
open_setup="click 270 5
wait 2"
save_setup="click 20 5
wait 2"

session() {  # config folder, script file, then the script's lines on stdin
  cat >"$2"
  XDG_CONFIG_HOME=$1 expect_status 0 "$tetrad" --script "$2" "$demo"
}

mkdir -p "$work/mods" "$work/smp"
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
$(down 4)
$(typed 4 123456)
$(value 5)
$(up 7)
$(up 7)
$(value 8)
$(page 1)
$(value 0)
$(value 0)
$(down 1 right)
$(down 1)
$(up 2)
$(up 2)
$(up 2)
$(value 3)
$(value 4)
$(down 5)
$(page 2)
$(value 0)
type usb keys
key Return
$(value 1)
key 2
key -
key Return
$(down 1 right)
$(down 1)
$(value 2)
$(page 3)
$(value 0)
type $work/mods
key Return
$(value 2)
type $work/smp
$(value 5)
type ~/lib
key Escape
wait 2
$save_setup
save $work/a.mod
save $work/a.mod
key d alt
wait 2
click 150 27
click 280 27
key Return
wait 2
key y
wait 4
EOF1
ini=$config/tetrad/tetrad.ini
# What each change gives, worked out by hand from the defaults; the library
# folder typed was dropped by Esc, the sample folder kept by the click away.
want="autosave_seconds = 190|backups = 0|repeat_delay_ms = 47|repeat_frames = 4|\
import_rate = 12345|format = iff|transpose = -15|velocity = 1|input = usb keys|model = a1200|\
separation = 89|rate = 96000|clock = ntsc|stereo = mono|buffer = 512|scale = 2|fullscreen = 1|\
modules = $work/mods|songs =|samples = $work/smp|tracks =|patterns =|library ="
got=$(grep -v '^[;[]' "$ini" | grep . | paste -sd'|')
[ "$got" = "$want" ] || fail "saved settings: $got, wanted $want"
[ -e "$work/a.mod.bak" ] && fail "a save kept a backup with backups off at once"
# The disk op went to the sample folder typed at once, and saved in IFF.
sample=$(ls "$work/smp")
[ "$(head -c 4 "$work/smp/$sample" 2>/dev/null)" = FORM ] ||
  fail "the sample saved in '$work/smp' is not IFF: '$sample'"

# The next start reads every value back: saved again, the file is the same.
cp "$ini" "$work/first.ini"
session "$config" "$work/again.script" <<<"$open_setup
$save_setup
key d alt
wait 2
click 280 5
key Return
wait 2
key y
wait 4"
cmp -s "$ini" "$work/first.ini" || fail "the settings read back differ: $(diff "$ini" "$work/first.ini")"
# The disk op started in the module folder of the settings.
ls "$work/mods"/* >/dev/null 2>&1 || fail "no module saved in the start folder $work/mods"

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
# Saved over, the user's own lines stay: the comment and the unknown key.
head -1 "$work/hand/tetrad/tetrad.ini" | grep -qx "; mine" || fail "the comment was not kept"
grep -qx "colour = red" "$work/hand/tetrad/tetrad.ini" || fail "the unknown key was not kept"

# A settings folder that cannot be made: the program runs on.
touch "$work/not-a-folder"
session "$work/not-a-folder" "$work/blocked.script" <<<"$open_setup
$save_setup"
finish setup_session
