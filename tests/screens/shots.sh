#!/usr/bin/env bash
# Runs the screen tour of states.script with BINARY into OUT_DIR, in fixed
# surroundings (time zone, file dates, directory names) so the pictures are
# the same on every machine.
# usage: shots.sh BINARY SOURCE_DIR OUT_DIR
set -euo pipefail
binary=$1
source_dir=$2
out=$3
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The path field shows the last 18 characters: these names fill them.
modules=$scratch/tetrad_screen_modules
mkdir -p "$modules/older songs"
cp "$source_dir/data/demo.mod" "$modules/demo.mod"
touch -d "2020-01-02 03:04:05" "$modules/demo.mod" "$modules/older songs" "$modules"
export TZ=UTC XDG_DATA_HOME=$scratch/xdgdata HOME=$scratch
cd "$out"
"$binary" --script "$source_dir/tests/screens/states.script" "$modules/demo.mod"
