#!/usr/bin/env bash
# Installs the Debian 12 packages TELMOR needs to build and test, if missing.
set -euo pipefail

# The native build and its tests; clang for the fuzz targets; mingw-w64,
# GoogleTest's sources and wine for the Windows build and its run; dpkg-dev
# (dpkg-shlibdeps) and lintian for the Debian package; numpy, scipy and
# pandas for the peer pipeline and the accuracy benchmark in bench/;
# pybind11 and pytest for the Python module and its tests (python3-venv installs
# its wheel for them; matplotlib runs its
# example); Qhull, Eigen and Cairo for the maps, conduction velocity and
# figures; libbiosig, HDF5 and matio for the recording formats, libsoxr for
# the desktop's resampling; Qt's own translations (its dialogs in Japanese);
# xvfb, xdotool and imagemagick to look at the window headless; the locales'
# sources, from which the Python tests make a German locale to check that no
# message takes its decimal comma.
packages=(g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libgl-dev qt6-qpa-plugins fonts-ipafont-gothic
          clang libclang-rt-14-dev llvm-14
          g++-mingw-w64-x86-64-posix googletest wine wine64
          dpkg-dev lintian
          python3-numpy python3-scipy python3-pandas
          python3-dev pybind11-dev python3-pybind11 python3-pytest python3-matplotlib python3-venv
          libqhull-dev libeigen3-dev libcairo2-dev
          libbiosig-dev libhdf5-dev libmatio-dev libsoxr-dev pkg-config
          qt6-translations-l10n xvfb xdotool imagemagick locales)
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
