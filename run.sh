#!/usr/bin/env bash
# Sets up, builds and starts Tetrad; with no arguments it plays the demo module.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tetrad
if [ $# -eq 0 ]; then set -- --play data/demo.mod; fi
exec build/tetrad "$@"
