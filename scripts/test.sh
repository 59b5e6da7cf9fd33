#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in a
# normal build (with the desktop layer, offscreen); the Debian package made
# from it and checked; once in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer (the Qt-free core); the desktop layer's tests,
# where the program's thread meets the GUI thread, under ThreadSanitizer; the
# Windows build of the core under wine; then each fuzz target briefly
# (FUZZ_SECONDS each, default 30; 0 skips them). Each part says how long it took.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install_deps.sh"
jobs=$(nproc)
started=$SECONDS
part() { echo "== $1: $((SECONDS - started)) s"; started=$SECONDS; }

"$top/scripts/configure.sh"
cmake --build "$top/build" -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$top/build" -j "$jobs" --output-on-failure
part "normal build and tests"

"$top/scripts/package.sh"
part "Debian package"

cmake -S "$top" -B "$top/build-sanitize" -G Ninja -DTELMOR_SANITIZE=ON \
      -DTELMOR_BUILD_GUI=OFF -DTELMOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$top/build-sanitize" -j "$jobs"
LSAN_OPTIONS="suppressions=$top/tests/sanitize.supp" \
  ctest --test-dir "$top/build-sanitize" -j "$jobs" --output-on-failure
part "sanitizer build and tests"

cmake -S "$top" -B "$top/build-tsan" -G Ninja -DTELMOR_SANITIZE_THREAD=ON \
      -DTELMOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$top/build-tsan" -j "$jobs" --target gui_tests
# die_after_fork=0: the recovery test starts a child program (QProcess forks
# this multi-threaded process, then the child execs at once).
QT_QPA_PLATFORM=offscreen TSAN_OPTIONS="suppressions=$top/tests/gui/tsan.supp:die_after_fork=0" \
  "$top/build-tsan/tests/gui/gui_tests"
part "desktop tests under ThreadSanitizer"

"$top/scripts/test-windows.sh"
part "Windows build and tests under wine"

fuzz_seconds=${FUZZ_SECONDS:-30}
if [ "$fuzz_seconds" -gt 0 ]; then
  "$top/tests/fuzz/run" "$fuzz_seconds"
  part "fuzz targets"
fi
