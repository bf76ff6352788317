#!/usr/bin/env bash
# The disk-op screen in the real window under a virtual X server: browse,
# load, edit and save a module; save and load back samples, a track and a
# pattern.
set -u
tetrad=$1
source_dir=$2
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done
exec bash "$source_dir/tools/xvfb_diskop.sh" "$tetrad" "$source_dir/data/demo.mod"
