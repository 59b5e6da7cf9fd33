#!/usr/bin/env bash
# Installs what is missing, builds TELMOR and starts it on the bundled sample:
# the drives root is examples/, so d:\data\map\sample.txt is
# examples/d/data/map/sample.txt. Answer the dialogue with the name "sample",
# 8 leads and 10 seconds.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install_deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DTELMOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$top/build" --target telmor
cd "$top/examples"
exec "$top/build/src/gui/telmor"
