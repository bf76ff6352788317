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
source "$(dirname "$0")/xvfb_lib.bash"
start_xvfb
start_program "$module"
press space            # edit mode
for key in q w e r t y; do press "$key"; done
sleep 0.3
[ -n "$shot" ] && import -window "$window" "$shot"

press alt+q            # "REALLY QUIT ?"
press y
expect_exit "Alt+Q, Y"

# A close request from the desktop (SDL turns SIGTERM into the same quit
# event as the window's close button) ends the program cleanly, too.
start_program "$module"
sleep 1
kill -0 "$program" 2>/dev/null || die "the program did not stay up"
kill -TERM "$program"
expect_exit "a close request"
