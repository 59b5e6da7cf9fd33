#!/usr/bin/env bash
# Cross-builds the Qt-free core for Windows with mingw-w64 (POSIX threads)
# into build-windows/ and runs it under wine: a telmor-replay session on the
# bundled sample whose transcript, draw log and snapshots must equal those of
# the native build (build/, when there is one), then the core test suites. Wine's
# drive D: is a scratch folder holding data\map\sample.txt: on Windows the
# program opens d:\data\map\sample.txt as it stands, so this proves the real
# Windows path handling. Installs what is missing (mingw-w64, wine).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build-windows
jobs=$(nproc)

"$top/scripts/install_deps.sh"

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-posix.cmake" \
      -DTELMOR_BUILD_GUI=OFF -DTELMOR_BUILD_BENCH=OFF \
      -DTELMOR_GTEST_SOURCE=/usr/src/googletest >/dev/null
cmake --build "$build" -j "$jobs"

# A wine prefix of our own, made once; D: is the drives folder's d.
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -d "$WINEPREFIX/dosdevices" ] || wineboot --init >/dev/null 2>&1
# One wineserver for the whole run: left to end itself between two programs,
# a server on its way out resets the next program's connection ("wine client
# error: recvmsg: Connection reset by peer", a suite failed in no time).
native=""
finish() {
  wineserver -k 2>/dev/null || true
  [ -z "$native" ] || rm -rf "$native"
}
trap finish EXIT
wineserver -w  # the server wineboot left running ends first: only one may run
wineserver -p
drives=$build/drives
rm -rf "$drives"
mkdir -p "$drives/d"
ln -sfn "$drives/d" "$WINEPREFIX/dosdevices/d:"
export TELMOR_TEST_DRIVES
TELMOR_TEST_DRIVES=$(winepath -w "$drives" 2>/dev/null)

mkdir -p "$drives/d/data/map"
cp "$top/examples/d/data/map/sample.txt" "$drives/d/data/map/"
(cd "$build" && wine "$build/src/replay/telmor-replay.exe" --draw-log "$(winepath -w "$build/demo.draw")" \
   "$(winepath -w "$top/examples/demo.script")" >"$build/demo.out")
echo "telmor-replay under wine: the demo session on d:\\data\\map\\sample.txt ran to its end"
if [ -x "$top/build/src/replay/telmor-replay" ]; then
  native=$(mktemp -d)
  (cd "$native" && "$top/build/src/replay/telmor-replay" --root "$top/examples" \
     --draw-log "$native/demo.draw" "$top/examples/demo.script" >"$native/demo.out")
  for file in demo.out demo.draw demo-1-overview.png demo-2-ranges.png; do
    cmp "$native/$file" "$build/$file"
  done
  echo "telmor-replay under wine: transcript, draw log and snapshots equal the native build's"
fi
rm -f "$build"/demo-*.png "$drives/d/data/map/sample.txt"

# One suite at a time: the suites that use drive D: share it.
ctest --test-dir "$build" -j 1 --output-on-failure
