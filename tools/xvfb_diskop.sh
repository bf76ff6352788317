#!/usr/bin/env bash
# Drives the disk-op screen of the real window under a virtual X server.
# First run: opens the disk op with the mouse, opens the module row, enters a
# directory, loads the module there with a click, writes one note, saves the
# module under its title and quits; the saved file must differ from the
# original in that one cell. Second run: saves a sample as IFF and another
# as raw, a track and a pattern, loads each back into another slot or
# pattern, saves the module and checks what came back.
#   tools/xvfb_diskop.sh path/to/tetrad module.mod [shot.png]
set -euo pipefail
tetrad=$(realpath "$1")
module=$(realpath "$2")
shot=${3:-}
[ -n "$shot" ] && shot=$(realpath -m "$shot")
source "$(dirname "$0")/xvfb_lib.bash"

# Screen pixels of the buttons used (320x255 picture).
main_disk_op="200 38"
open_row0="190 5"
save_row0="280 5"
select_row1="150 16"
save_row1="280 16"
switch_row2="100 27"
select_row2="150 27"
save_row2="280 27"
page_toggle="181 38"
line0="50 46"
line1="50 53"

# Takes the name SAVE offers, answers the save question and waits for the
# file and the message to pass.
answer_yes() {
  sleep 0.3
  press Return
  sleep 0.3
  press y
  sleep 1.2
}

# Hex bytes of a file range, two digits a byte, no spaces.
hex() {
  od -An -v -tx1 -j "$2" -N "$3" "$1" | tr -d ' \n'
}

export HOME=$work/home XDG_DATA_HOME=$work/data
music=$HOME/Music/Modules
mkdir -p "$music/demos" "$music/samples"
cp "$module" "$music/demos/demo.mod"
echo "notes" >"$music/readme.txt"
touch -d "2026-12-05 12:00" "$music/demos" "$music/samples" "$music/readme.txt"
cd "$music"
start_xvfb

# --- First run: browse, load, edit, save.
start_program
click $main_disk_op
click $open_row0          # lists the working directory: demos, samples, readme.txt
sleep 0.3
[ -n "$shot" ] && import -window "$window" "$shot"
click $line0              # enter demos
click $line0              # demo.mod: loads and closes the screen
press space               # edit mode
press Tab
press Tab                 # channel 3, empty in row 0 of the demo
press q                   # one note with sample 1
press space               # edit mode off
click $main_disk_op       # opens on demos, where the module came from
click $save_row0
answer_yes
press alt+q
press y
expect_exit "saving the module"

saved="$music/demos/mod.tetrad demo"
[ -f "$saved" ] || die "the module was not saved as $saved"
"$tetrad" --info "$saved" | grep -q '^name: *tetrad demo$' || die "--info cannot read the saved module"
# Row 0, channel 3 of pattern 0 is bytes 1092..1095 (0-based); cmp counts from 1.
changed=$(cmp -l "$module" "$saved" | awk '{print $1}' || true)
[ -n "$changed" ] || die "the saved module does not hold the new note"
for offset in $changed; do
  [ "$offset" -ge 1093 ] && [ "$offset" -le 1096 ] || die "byte $offset changed besides the note"
done
[ "$(stat -c %s "$module")" -eq "$(stat -c %s "$saved")" ] || die "the saved module changed size"

# --- Second run: samples, a track and a pattern, out and back in.
start_program "$music/demos/demo.mod"
click $main_disk_op
click $select_row2        # sample row: the data directory's Samples
click $switch_row2        # IFF
click $save_row2          # sample 1, "kick"
answer_yes
press ctrl+Right          # sample 2, "snare"
click $switch_row2        # RAW
click $save_row2
answer_yes
press ctrl+Right          # sample 3
click $line0              # kick (IFF) into sample 3; the screen stays
press ctrl+Right          # sample 4
click $line1              # snare (raw) into sample 4
click $page_toggle        # page 1: row 2 is now the pattern row
click $select_row1        # track row
click $save_row1          # channel 1 of pattern 0
answer_yes
click $select_row2
click $save_row2          # pattern 0
answer_yes
press alt+Right
press alt+Right
press alt+Right           # pattern 3
click $line0              # the pattern file into pattern 3; the screen stays
press alt+Left            # pattern 2
press Tab                 # channel 2
click $select_row1
click $line0              # the track into channel 2 of pattern 2; closes
click $main_disk_op
click $page_toggle        # page 0, module row
click $open_row0
click $save_row0          # mod.tetrad demo exists: the question says so
answer_yes
press alt+q
press y
expect_exit "saving samples, a track and a pattern"

samples=$XDG_DATA_HOME/tetrad/Samples
head -c 4 "$samples/kick" | grep -q FORM || die "kick was not saved as IFF"
[ "$(stat -c %s "$samples/snare")" -eq 2600 ] || die "snare was not saved raw"
[ -s "$XDG_DATA_HOME/tetrad/Tracks/tetrad demo" ] || die "no track file"
[ -s "$XDG_DATA_HOME/tetrad/Patterns/tetrad demo" ] || die "no pattern file"
info=$("$tetrad" --info "$saved")
echo "$info" | grep -Eq '^ *3  kick +2400 ' || die "sample 3 is not the IFF kick: $info"
echo "$info" | grep -Eq '^ *4  snare +2600 ' || die "sample 4 is not the raw snare: $info"
pattern0=$(hex "$saved" 1084 1024)
[ "$(hex "$saved" $((1084 + 3 * 1024)) 1024)" = "$pattern0" ] || die "pattern 3 is not pattern 0"
pattern2=$(hex "$saved" $((1084 + 2 * 1024)) 1024)
for row in $(seq 0 63); do
  # 16 bytes a row, 4 a channel: channel 0 of pattern 0 against channel 1 of pattern 2.
  [ "${pattern2:$((row * 32 + 8)):8}" = "${pattern0:$((row * 32)):8}" ] ||
    die "row $row of channel 2 in pattern 2 is not the saved track"
done
echo "disk-op session passed"
