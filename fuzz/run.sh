#!/usr/bin/env bash
# Runs every fuzz target of a build for a bounded time on a seed corpus made
# from the demo module. Usage: fuzz/run.sh BUILD_DIR SECONDS
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

for target in "$build"/*_fuzzer; do
  [ -x "$target" ] || continue
  echo "fuzzing $(basename "$target") for $seconds s"
  "$target" -max_total_time="$seconds" -max_len=20000 -timeout=10 -print_final_stats=1 \
    "$corpus" 2>&1 | tail -n 12
done
