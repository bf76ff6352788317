#!/usr/bin/env bash
# The sample editor in the real window under a virtual X server: a range
# is dragged, cut and pasted elsewhere with the mouse.
set -u
tetrad=$1
source_dir=$2
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done
exec bash "$source_dir/tools/xvfb_sampler.sh" "$tetrad" "$source_dir/data/demo.mod"
