#!/usr/bin/env bash
# Builds the Debian package build/telmor_<version>_amd64.deb with CPack from
# the normal build and checks it: its contents, lintian without errors, the
# versions the programs print, and the packaged telmor-replay (unpacked into
# a scratch folder) giving the built one's transcript of the demo session.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build
"$top/scripts/install_deps.sh"

"$top/scripts/configure.sh"
cmake --build "$build" -j "$(nproc)" --target telmor telmor-replay telmor-batch telmor_python
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$build/telmor_${version}_amd64.deb
rm -f "$deb"
if ! (cd "$build" && cpack -G DEB >"$build/cpack.log" 2>&1); then
  cat "$build/cpack.log" >&2
  echo "package: cpack failed" >&2
  exit 1
fi
[ -f "$deb" ] || { echo "package: $deb was not made" >&2; exit 1; }
echo "package: $deb"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The files it must hold, and nothing outside /usr.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | sort >"$scratch/contents"
for file in /usr/bin/telmor /usr/bin/telmor-replay /usr/bin/telmor-batch /usr/lib/telmor/telmor-read \
            /usr/share/applications/telmor.desktop \
            /usr/share/icons/hicolor/scalable/apps/telmor.svg \
            /usr/share/doc/telmor/README.md /usr/share/doc/telmor/copyright \
            /usr/share/doc/telmor/changelog.gz \
            /usr/lib/python3/dist-packages/telmor/__init__.py; do
  grep -qx "$file" "$scratch/contents" || { echo "package: $file missing" >&2; exit 1; }
done
if grep -v '^/usr/' "$scratch/contents" | grep -q .; then
  echo "package: files outside /usr" >&2
  exit 1
fi
dpkg-deb -f "$deb" Depends | grep -q 'fonts-ipafont-gothic' || { echo "package: no font dependency" >&2; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || { echo "package: no Qt dependency" >&2; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q 'python3-numpy' || { echo "package: no numpy dependency" >&2; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q 'python3-pandas' || { echo "package: no pandas dependency" >&2; exit 1; }
for lib in libbiosig libhdf5 libmatio libsoxr; do
  dpkg-deb -f "$deb" Depends | grep -q "$lib" || { echo "package: no $lib dependency" >&2; exit 1; }
done
grep -q '^/usr/lib/python3/dist-packages/telmor/_core\..*\.so$' "$scratch/contents" ||
  { echo "package: the Python module is missing" >&2; exit 1; }
echo "package: contents and dependencies as they should be"

# Errors fail; warnings (no manual pages) are shown.
lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v '^running with root' | tee "$scratch/lintian" || true
if grep -q '^E:' "$scratch/lintian"; then
  echo "package: lintian reports errors" >&2
  exit 1
fi
echo "package: lintian reports no errors"

dpkg-deb -x "$deb" "$scratch/root"
# No installed program or module looks for a library in the working folder
# or the build tree.
"$top/tests/architecture/check_runpaths.py" "$top:$build" "$scratch/root" ||
  { echo "package: a run path of the package names the working folder or the build tree" >&2; exit 1; }
for program in telmor telmor-batch; do
  printed=$("$scratch/root/usr/bin/$program" --version)
  [ "$printed" = "$program $version" ] || { echo "package: $program --version says '$printed'" >&2; exit 1; }
done
imported=$(PYTHONPATH="$scratch/root/usr/lib/python3/dist-packages" /usr/bin/python3 -c \
  'import telmor; print(telmor.__version__)')
[ "$imported" = "$version" ] || { echo "package: telmor.__version__ is '$imported'" >&2; exit 1; }
echo "package: the packaged Python module imports and says its version"
# The packaged programs and module find the packaged reader program: an EDF
# of one lead (a steep fall every 800 ms for 10 s) read by the batch and by
# the module.
/usr/bin/python3 - "$scratch/fall.edf" <<'PYTHON'
import sys
n, rate = 10, 1000
samples = [(-32000 if i % 800 < 20 else 32000 * (i % 800) // 800) for i in range(n * rate)]
field = lambda text, width: text.ljust(width)[:width]
head = (field("0", 8) + field("X X X X", 80) + field("Startdate X X X X", 80) + "01.01.20" + "00.00.00"
        + field("512", 8) + field("", 44) + field(str(n), 8) + field("1", 8) + field("1", 4)
        + field("E1", 16) + field("", 80) + field("mV", 8) + field("-1", 8) + field("1", 8)
        + field("-32768", 8) + field("32767", 8) + field("", 80) + field(str(rate), 8) + field("", 32))
data = b"".join(int(v).to_bytes(2, "little", signed=True) for v in samples)
open(sys.argv[1], "wb").write(head.encode("ascii") + data)
PYTHON
"$scratch/root/usr/bin/telmor-batch" --quiet "$scratch/fall.edf" ||
  { echo "package: the packaged telmor-batch cannot read an EDF" >&2; exit 1; }
PYTHONPATH="$scratch/root/usr/lib/python3/dist-packages" /usr/bin/python3 -c \
  'import sys, telmor; r = telmor.read_recording(sys.argv[1]); assert r.data.shape == (10000, 1), r.data.shape' \
  "$scratch/fall.edf" || { echo "package: the packaged Python module cannot read an EDF" >&2; exit 1; }
echo "package: the packaged programs and module read an EDF through the packaged reader program"
mkdir -p "$scratch/built" "$scratch/packaged"
(cd "$scratch/built" && "$build/src/replay/telmor-replay" --root "$top/examples" \
   "$top/examples/demo.script" >transcript)
(cd "$scratch/packaged" && "$scratch/root/usr/bin/telmor-replay" --root "$top/examples" \
   "$top/examples/demo.script" >transcript)
cmp "$scratch/built/transcript" "$scratch/packaged/transcript"
echo "package: the packaged telmor-replay gives the built one's transcript of the demo session"
