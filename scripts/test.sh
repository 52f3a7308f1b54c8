#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite:
#  1. everything under the address and undefined-behaviour sanitizers,
#  2. everything again under the thread sanitizer,
#  3. a short run of every fuzz target (clang, libFuzzer).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs="$(nproc)"
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp"
export QT_QPA_PLATFORM=offscreen

echo "== address and undefined-behaviour sanitizers"
cmake --preset asan >/dev/null
cmake --build build/asan -j"$jobs"
ctest --test-dir build/asan --output-on-failure -j"$jobs"

echo "== thread sanitizer"
cmake --preset tsan >/dev/null
cmake --build build/tsan -j"$jobs"
ctest --test-dir build/tsan --output-on-failure -j"$jobs" -LE fuzz

echo "== fuzz targets"
cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j"$jobs"
ctest --test-dir build/fuzz --output-on-failure -j"$jobs"

echo "All tests passed."
