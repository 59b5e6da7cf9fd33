#!/usr/bin/env bash
# Installs the Debian 12 packages TELMOR needs, if missing: to build and run
# it (run), or to build and test it (test, the default).
set -euo pipefail

# Two sets. "run" (scripts/run.sh): what builds and runs TELMOR, its desktop,
# batch and Python module — the compiler, CMake and Ninja, GoogleTest and
# Google Benchmark (the one build folder always has its suites and
# benchmarks), Qt with its plugins, translations (its dialogs in Japanese)
# and a Japanese font; Qhull, Eigen and Cairo for the maps, conduction
# velocity and figures; libbiosig, HDF5 and matio for the recording formats,
# libsoxr for the desktop's resampling; pybind11, numpy and pandas for the
# Python module.
# "test" (the default: scripts/test.sh, package.sh, test-windows.sh) adds
# what only the tests use: clang for the fuzz targets; mingw-w64,
# GoogleTest's sources and wine for the Windows build and its run; dpkg-dev
# (dpkg-shlibdeps) and lintian for the Debian package; scipy for the peer
# pipeline and the accuracy benchmark in bench/; pytest, and python3-venv to
# install the wheel for it; matplotlib to run its example; xvfb, xdotool and
# imagemagick to look at the window headless; the locales' sources, from
# which the Python tests make a German locale to check that no message takes
# its decimal comma.
set_name=${1:-test}
run_packages=(g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev
              qt6-base-dev libgl-dev qt6-qpa-plugins fonts-ipafont-gothic qt6-translations-l10n
              libqhull-dev libeigen3-dev libcairo2-dev
              libbiosig-dev libhdf5-dev libmatio-dev libsoxr-dev pkg-config
              python3-dev pybind11-dev python3-pybind11 python3-numpy python3-pandas)
test_packages=(clang libclang-rt-14-dev llvm-14
               g++-mingw-w64-x86-64-posix googletest wine wine64
               dpkg-dev lintian
               python3-scipy python3-pytest python3-matplotlib python3-venv
               xvfb xdotool imagemagick locales)
case "$set_name" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
