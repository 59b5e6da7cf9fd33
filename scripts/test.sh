#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in a
# normal build (with the desktop layer, offscreen), once in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer (the Qt-free core), and the
# desktop layer's tests, where the program's thread meets the GUI thread,
# under ThreadSanitizer; then each fuzz target briefly (FUZZ_SECONDS each,
# default 30; 0 skips them).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install_deps.sh"
jobs=$(nproc)

cmake -S "$top" -B "$top/build" -G Ninja >/dev/null
cmake --build "$top/build" -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$top/build" -j "$jobs" --output-on-failure

cmake -S "$top" -B "$top/build-sanitize" -G Ninja -DTELMOR_SANITIZE=ON \
      -DTELMOR_BUILD_GUI=OFF -DTELMOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$top/build-sanitize" -j "$jobs"
ctest --test-dir "$top/build-sanitize" -j "$jobs" --output-on-failure

cmake -S "$top" -B "$top/build-tsan" -G Ninja -DTELMOR_SANITIZE_THREAD=ON \
      -DTELMOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$top/build-tsan" -j "$jobs" --target gui_tests
QT_QPA_PLATFORM=offscreen TSAN_OPTIONS="suppressions=$top/tests/gui/tsan.supp" \
  "$top/build-tsan/tests/gui/gui_tests"

fuzz_seconds=${FUZZ_SECONDS:-30}
if [ "$fuzz_seconds" -gt 0 ]; then
  "$top/tests/fuzz/run" "$fuzz_seconds"
fi
