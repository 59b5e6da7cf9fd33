#!/usr/bin/env bash
# Configures build/, the one build folder that run.sh, test.sh and package.sh
# share, always with the same options: a folder configured by one of them is
# never changed under the others (everything on: desktop, tests, benchmarks).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$top" -B "$top/build" -G Ninja -DTELMOR_BUILD_GUI=ON -DTELMOR_BUILD_TESTS=ON \
      -DTELMOR_BUILD_BENCH=ON >/dev/null
