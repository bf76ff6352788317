#!/usr/bin/env bash
# Runs every fuzz target of a build for a bounded time on a seed corpus made
# from the demo module and a settings file. Fails when the build holds no
# fuzz target. Usage: fuzz/run.sh BUILD_DIR SECONDS
set -euo pipefail
build=$1
seconds=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT

demo=$source_dir/data/demo.mod
cp "$demo" "$corpus/demo"
size=$(stat -c %s "$demo")
# Cut inside the header, the patterns and the sample data.
# Whole track and pattern files too.
for cut in 600 1024 1084 1600 3500 4096 $((size - 1000)); do
  head -c "$cut" "$demo" >"$corpus/cut-$cut"
done

# A short 16-bit stereo WAV for the sample import.
printf 'RIFF\x34\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data\x10\0\0\0' \
  >"$corpus/wav"
printf '\x00\x01\x00\xff\x10\x20\xf0\xe0\x7f\x7f\x80\x80\x01\x00\x00\x00' >>"$corpus/wav"

# A settings file with a bad line, a comment and both sections.
printf '; settings\n[safety]\nautosave_seconds = 60\nbackups = 0\n[keyboard]\nrepeat_delay_ms = 250\nx\n' \
  >"$corpus/ini"

ran=0
for target in "$build"/*_fuzzer; do
  [ -x "$target" ] || continue
  ran=$((ran + 1))
  echo "fuzzing $(basename "$target") for $seconds s"
  "$target" -max_total_time="$seconds" -max_len=20000 -timeout=10 -print_final_stats=1 \
    "$corpus" 2>&1 | tail -n 12
done
if [ "$ran" -eq 0 ]; then
  echo "fuzz/run.sh: no fuzz target in $build" >&2
  exit 1
fi
