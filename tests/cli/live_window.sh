#!/usr/bin/env bash
# The real window under a virtual X server: typed keys reach the program,
# which must show the typed notes in its pattern view, then quit on Alt+Q, Y.
set -u
tetrad=$1
source_dir=$2
for tool in Xvfb xdotool import compare; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done
exec bash "$source_dir/tools/xvfb_session.sh" "$tetrad" "$source_dir/data/demo.mod"
