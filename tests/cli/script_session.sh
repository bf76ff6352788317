#!/usr/bin/env bash
# Scripted sessions through the real program: a line it cannot read stops
# it before anything runs, abort ends it at once with status 3, and save
# writes the module as it stands.
set -u
source "$(dirname "$0")/lib.bash"

printf 'wait 1\nshot %s/never.png\njump 3\n' "$work" >"$work/bad.script"
expect_status 1 "$tetrad" --script "$work/bad.script" "$demo"
grep -q "^$work/bad.script:3: unknown command" "$work/err" || fail "no FILE:LINE reason: $(cat "$work/err")"
[ -e "$work/never.png" ] && fail "a script with a bad line ran"

printf 'save %s/a.mod\nwait 3\nsave %s/b.mod\nkey space\nkey q\nsave %s/c.mod\nabort\nsave %s/d.mod\n' \
  "$work" "$work" "$work" "$work" >"$work/edit.script"
expect_status 3 "$tetrad" --script "$work/edit.script" "$demo"
cmp -s "$work/a.mod" "$work/b.mod" || fail "two saves of the same module differ"
[ "$(stat -c %s "$work/a.mod")" = "$(stat -c %s "$work/c.mod")" ] || fail "a typed note changed the size"
cmp -s "$work/a.mod" "$work/c.mod" && fail "the typed note is not in the saved module"
[ -e "$work/d.mod" ] && fail "the script went on after abort"

printf 'save %s/none/x.mod\n' "$work" >"$work/nosave.script"
expect_status 1 "$tetrad" --script "$work/nosave.script" "$demo"
grep -q "nosave.script:1: cannot write" "$work/err" || fail "a failed save is not named: $(cat "$work/err")"
# The window's close button: at once with nothing to lose, else a question
# that N leaves and Y answers by quitting.
printf 'close\nsave %s/e.mod\n' "$work" >"$work/close.script"
expect_status 0 "$tetrad" --script "$work/close.script" "$demo"
[ -e "$work/e.mod" ] && fail "an unchanged module did not close at once"
printf 'key space\nkey q\nclose\nwait 2\nsave %s/f.mod\nshot %s/ask.png\nkey n\nwait 2\nsave %s/g.mod\nclose\nkey y\nsave %s/h.mod\n' \
  "$work" "$work" "$work" "$work" >"$work/ask.script"
expect_status 0 "$tetrad" --script "$work/ask.script" "$demo"
[ -e "$work/f.mod" ] || fail "a close with unsaved notes quit without asking"
[ -e "$work/g.mod" ] || fail "N to the question quit"
[ -e "$work/h.mod" ] && fail "Y to the question did not quit"
# Over unsaved notes a dropped module and the clear requester's "all" ask
# first: N keeps the notes, Y goes on.
printf 'key space\nkey q\nkey space\ndrop %s\nwait 2\nkey n\nwait 2\nsave %s/kept.mod\ndrop %s\nwait 2\nkey y\nwait 2\nsave %s/dropped.mod\n' \
  "$demo" "$work" "$demo" "$work" >"$work/drop.script"
printf 'key space\nkey q\nkey space\nclick 200 15\nkey a\nwait 2\nkey n\nwait 60\nsave %s/notcleared.mod\nclick 200 15\nkey a\nwait 2\nkey y\nwait 2\nsave %s/cleared.mod\n' \
  "$work" "$work" >"$work/clear.script"
expect_status 0 "$tetrad" --script "$work/drop.script" "$demo"
expect_status 0 "$tetrad" --script "$work/clear.script" "$demo"
cmp -s "$work/kept.mod" "$work/c.mod" || fail "N to UNSAVED! LOAD ? did not keep the notes"
cmp -s "$work/dropped.mod" "$demo" || fail "Y to UNSAVED! LOAD ? did not load the dropped module"
cmp -s "$work/notcleared.mod" "$work/c.mod" || fail "N to UNSAVED! CLEAR ? cleared the notes"
[ "$(stat -c %s "$work/cleared.mod")" -lt "$(stat -c %s "$demo")" ] || fail "clear all did not clear"
# Autosave: an edit, a wait past autosave_seconds, a crash; the next run
# asks, and Y brings the edit back, still unsaved. N sets it aside.
mkdir -p "$work/config/tetrad"
printf '[safety]\nautosave_seconds = 1\n' >"$work/config/tetrad/tetrad.ini"
export XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
printf 'key space\nkey q\nwait 90\nabort\n' >"$work/crash.script"
expect_status 3 "$tetrad" --script "$work/crash.script" "$demo"
[ -f "$work/state/tetrad/autosave.mod" ] || fail "no autosave was written"
printf 'wait 2\nkey y\nwait 2\nclose\nkey n\nwait 2\nsave %s/still.mod\nsave %s/restored.mod\n' \
  "$work" "$work" >"$work/restore.script"
expect_status 0 "$tetrad" --script "$work/restore.script" "$demo"
cmp -s "$work/restored.mod" "$work/c.mod" || fail "the restored autosave is not the edited module"
[ -e "$work/still.mod" ] || fail "the restored module counted as saved: close did not ask"
expect_status 3 "$tetrad" --script "$work/crash.script" "$demo"
printf 'wait 2\nkey n\nwait 2\n' >"$work/aside.script"
expect_status 0 "$tetrad" --script "$work/aside.script" "$demo"
[ -e "$work/state/tetrad/autosave.mod" ] && fail "N left the autosave in place"
ls "$work"/state/tetrad/autosave-*.mod >/dev/null 2>&1 || fail "N did not set the autosave aside"
finish script_session
