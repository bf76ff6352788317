#!/usr/bin/env bash
# The help screen in a scripted session: HELP and Alt+H open it over the
# whole picture, Left and Right turn its pages, the keys under it do not
# edit the module, Esc gives back the screen as it was, and opened over the
# edit-op screen it starts at that screen's page.
set -u
source "$(dirname "$0")/lib.bash"

cat >"$work/help.script" <<EOF1
key space
wait 2
save $work/before.mod
shot $work/main.png
key h alt
wait 2
shot $work/first.png
key Right
wait 2
shot $work/second.png
key Left
wait 2
shot $work/first-again.png
key q
key Delete
key Escape
wait 2
shot $work/closed.png
save $work/after.mod
click 270 27
wait 2
shot $work/by-button.png
key Escape
key h alt
wait 2
shot $work/by-key.png
key Escape
key e alt
wait 2
key h alt
wait 2
shot $work/over-editop.png
key Escape
key Escape
wait 2
key h alt
wait 2
EOF1
# The edit-op page is the tenth: from the first page, nine to the right.
for ((i = 0; i < 9; i++)); do echo "key Right" >>"$work/help.script"; done
echo "wait 2" >>"$work/help.script"
echo "shot $work/turned-to-editop.png" >>"$work/help.script"
expect_status 0 "$tetrad" --script "$work/help.script" "$demo"

same() { cmp -s "$work/$1.png" "$work/$2.png"; }
same main first && fail "HELP drew nothing"
same first second && fail "Right did not turn the page"
same first first-again || fail "Left did not come back to the first page"
same by-button by-key || fail "HELP and Alt+H did not open the same first page"
same closed main || fail "Esc did not give back the main screen as it was"
cmp -s "$work/before.mod" "$work/after.mod" || fail "keys under the help edited the module"
same over-editop turned-to-editop || fail "opened over the edit-op screen, not at its page"
finish help_session
