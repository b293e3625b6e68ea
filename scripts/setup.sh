#!/usr/bin/env bash
# Installs the Debian packages Ramulon needs (only those missing), then configures and builds.
# Usage: scripts/setup.sh [--sanitize | --tsan | --package]
#   --sanitize  the address and undefined-behaviour sanitizer build, in build-sanitize/
#   --tsan      the thread sanitizer build of the tests that draw on several threads or take stop
#               signals on a thread of their own, in build-tsan/
#   --package   the release build of the .deb, in build-package/, without tests and benchmarks, and
#               the tools that make and check the package (scripts/package.sh, scripts/check_package.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake g++ make
  qt6-base-dev qt6-qpa-plugins
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev libegl-mesa0
  libgtest-dev libwebp-dev
  xvfb xauth fonts-dejavu-core fontconfig imagemagick xdotool
)
if [ "${1:-}" = "--package" ]; then
  packages+=(dpkg-dev file gzip groff-base man-db lintian appstream desktop-file-utils)
fi

scripts/install_missing.sh setup "${packages[@]}" >/dev/null

build_dir=build
options=()
targets=()
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build-sanitize
  options+=(-DRAMULON_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DRAMULON_BUILD_BENCH=OFF)
elif [ "${1:-}" = "--tsan" ]; then
  build_dir=build-tsan
  options+=(-DRAMULON_TSAN=ON -DCMAKE_BUILD_TYPE=Debug -DRAMULON_BUILD_BENCH=OFF)
  targets+=(--target evolution_tests display_tests evolve_tests)
elif [ "${1:-}" = "--package" ]; then
  build_dir=build-package
  options+=(-DCMAKE_BUILD_TYPE=Release -DRAMULON_BUILD_TESTS=OFF -DRAMULON_BUILD_BENCH=OFF
            -DCMAKE_INSTALL_PREFIX=/usr)
  # Debian's own compiler and linker flags, with every hardening feature, as a Debian package is built.
  # CMake reads them when it first configures the folder.
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
  export CXXFLAGS LDFLAGS
fi
if [ -n "${CI:-}" ]; then
  options+=(-DRAMULON_WARNINGS_AS_ERRORS=ON)
fi

cmake -S . -B "$build_dir" "${options[@]}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
