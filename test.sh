#!/usr/bin/env bash
# Builds and runs every test suite: a normal build, an ASan+UBSan build, a
# ThreadSanitizer run of the threaded tests and a bounded fuzzing run.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTETRAD_SANITIZE=ON -DTETRAD_BENCH=OFF
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTETRAD_TSAN=ON -DTETRAD_BENCH=OFF
cmake --build build-tsan -j"$jobs" --target tetrad_tests
TSAN_OPTIONS="halt_on_error=1 exitcode=66" ctest --test-dir build-tsan --output-on-failure --no-tests=error -R 'Concurrency'

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DTETRAD_FUZZ=ON -DTETRAD_SANITIZE=ON -DTETRAD_TESTS=OFF \
  -DTETRAD_BENCH=OFF
cmake --build build-fuzz -j"$jobs" --target fuzzers
bash fuzz/run.sh build-fuzz "${TETRAD_FUZZ_SECONDS:-60}"
echo "all test suites passed"
