#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite:
#  1. everything under the address and undefined-behaviour sanitizers, the
#     start-up, caption, title and layout window tests once more on a real X
#     server (Xvfb, on a free display, stopped when the script ends),
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

# A real X server for the window tests that must see what the platform makes
# of titles and fonts. -displayfd picks a free display and reports its number.
display_file="$(mktemp)"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 1 100); do
  [ -s "$display_file" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$display_file" ] || { echo "Xvfb reported no display" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")"
echo "== Xvfb on display $DISPLAY"

echo "== address and undefined-behaviour sanitizers"
cmake --preset asan >/dev/null
cmake --build build/asan -j"$jobs"
ctest --test-dir build/asan --output-on-failure -j"$jobs"

echo "== thread sanitizer"
cmake --preset tsan >/dev/null
cmake --build build/tsan -j"$jobs"
ctest --test-dir build/tsan --output-on-failure -j"$jobs" -LE 'fuzz|x11'

echo "== fuzz targets"
cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j"$jobs"
ctest --test-dir build/fuzz --output-on-failure -j"$jobs"

echo "All tests passed."
